# What the Debian package holds besides the programs and the desktop entry
# (installed by their own folders): the manual pages, the shell completion,
# and the package itself. `cmake --build BUILD --target package` makes
# orlax-tools_<version>_<arch>.deb in BUILD, installing to /usr.

# orlax-emulator prints the project's version, as orlax-burner does.
if(TARGET orlax-emulator)
  target_compile_definitions(orlax-emulator PRIVATE ORLAX_VERSION="${PROJECT_VERSION}")
endif()

# Manual pages, with the project's version filled in, gzip-compressed as
# Debian keeps them (-n: no name or time stamp, so the same page gives the
# same bytes).
find_program(ORLAX_GZIP gzip REQUIRED)
set(ORLAX_MAN_PAGES orlaxctl.1 orlax-emulator.1)
if(ORLAX_BUILD_CUPS)
  list(APPEND ORLAX_MAN_PAGES orlax-station.1)
endif()
if(ORLAX_BUILD_GUI)
  list(APPEND ORLAX_MAN_PAGES orlax-burner.1)
endif()
set(ORLAX_MAN_GZ)
foreach(page IN LISTS ORLAX_MAN_PAGES)
  set(filled ${PROJECT_BINARY_DIR}/man/${page})
  configure_file(${CMAKE_CURRENT_LIST_DIR}/man/${page} ${filled} @ONLY)
  add_custom_command(
    OUTPUT ${filled}.gz
    COMMAND ${ORLAX_GZIP} -9 -n -f -k ${filled}
    DEPENDS ${filled}
    COMMENT "Compressing the manual page ${page}"
    VERBATIM)
  list(APPEND ORLAX_MAN_GZ ${filled}.gz)
endforeach()
add_custom_target(orlax_man_pages ALL DEPENDS ${ORLAX_MAN_GZ})
install(FILES ${ORLAX_MAN_GZ} DESTINATION share/man/man1)

# Bash completion for orlaxctl, loaded on demand by bash-completion.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/bash-completion/orlaxctl
        DESTINATION share/bash-completion/completions)
if(ORLAX_BUILD_CUPS)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/bash-completion/orlax-station
          DESTINATION share/bash-completion/completions)
endif()

# The udev rule giving the technician's session and the lp group access to
# USB-attached units (udev reads /usr/lib/udev/rules.d on Debian 12).
install(FILES ${CMAKE_CURRENT_LIST_DIR}/udev/70-orlax-usb.rules DESTINATION lib/udev/rules.d)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orlax-tools)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_VENDOR Korvane)
set(CPACK_PACKAGE_CONTACT "ORLAX PRO tool maintainers <orlax-tools@korvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set-up and service tool for the ORLAX PRO disc robot")
set(CPACK_PACKAGE_DESCRIPTION
    "Loads start-up and firmware files into an ORLAX PRO disc recording and\n"
    "printing robot, reads and shows its status, adjusts its mechanical and\n"
    "print offsets, clears its ink counters, calibrates it, runs the final\n"
    "tolerance check and logs every unit that passes to a production record.\n"
    "It talks to the unit only through CUPS print queues.\n"
    "\n"
    "orlax-burner is the desktop window (Qt 6), orlaxctl drives the same window\n"
    "headless from a script, and orlax-emulator runs an emulated unit as a\n"
    "network device.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries' packages come from dpkg-shlibdeps; Qt's platform plugins,
# without which orlax-burner opens no window, are only recommended by Qt's
# own packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(ORLAX_BUILD_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()
# orlax-emulator --usb runs its command under umockdev's preload library.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups, cups-client, bash-completion, umockdev")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
