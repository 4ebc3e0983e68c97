# The libraries from outside, by the name a row of cmake/layers.cmake NEEDS:
# the target a folder links, then how it is found. A library is looked for
# only when a folder being built needs it.
set(ORLAX_PACKAGE_json     nlohmann_json::nlohmann_json [[find_package(nlohmann_json 3 REQUIRED)]])
set(ORLAX_PACKAGE_crypto   OpenSSL::Crypto              [[find_package(OpenSSL REQUIRED)]])
set(ORLAX_PACKAGE_threads  Threads::Threads             [[find_package(Threads REQUIRED)]])
set(ORLAX_PACKAGE_cups     Cups::Cups                   [[find_package(Cups REQUIRED)]])
set(ORLAX_PACKAGE_qt       Qt6::Widgets                 [[find_package(Qt6 REQUIRED COMPONENTS Widgets)]])
set(ORLAX_PACKAGE_libusb   PkgConfig::LIBUSB
    [[find_package(PkgConfig REQUIRED)
      pkg_check_modules(LIBUSB REQUIRED IMPORTED_TARGET libusb-1.0)]])
set(ORLAX_PACKAGE_umockdev PkgConfig::UMOCKDEV
    [[find_package(PkgConfig REQUIRED)
      pkg_check_modules(UMOCKDEV REQUIRED IMPORTED_TARGET umockdev-1.0)]])
set(ORLAX_PACKAGE_libpq    PkgConfig::LIBPQ
    [[find_package(PkgConfig REQUIRED)
      pkg_check_modules(LIBPQ REQUIRED IMPORTED_TARGET libpq)]])
