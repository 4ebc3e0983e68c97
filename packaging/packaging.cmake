# The Debian packages, two from one build. `cmake --build BUILD --target
# package` makes both in BUILD (orlax-tools_<version>_<arch>.deb and
# orlax-emulator_<version>_<arch>.deb), installing to /usr:
#   orlax-tools     orlaxctl, orlax-burner and orlax-station, their manual pages, the bash
#                   completion, the desktop entry and icon, the udev rule
#   orlax-emulator  orlax-emulator and its manual page
# Every install() names the package it belongs to by its component, tools or
# emulator; the programs' own are in their folders' CMakeLists.txt.
set(ORLAX_PACKAGE_tools orlax-tools)
set(ORLAX_PACKAGE_emulator orlax-emulator)
set(ORLAX_MAN_PAGES_tools orlaxctl.1)
if(TARGET orlax-station)
  list(APPEND ORLAX_MAN_PAGES_tools orlax-station.1)
endif()
if(TARGET orlax-burner)
  list(APPEND ORLAX_MAN_PAGES_tools orlax-burner.1)
endif()
set(ORLAX_COMPONENTS tools)
if(TARGET orlax-emulator)
  list(APPEND ORLAX_COMPONENTS emulator)
  set(ORLAX_MAN_PAGES_emulator orlax-emulator.1)
endif()

# The changelog's newest entry is this version's.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^[a-z0-9.+-]+ \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog begins '${newest}': give version ${PROJECT_VERSION} an entry")
endif()

# Gzip-compressed as Debian keeps them (-n: no name or time stamp, so the
# same text gives the same bytes).
find_program(ORLAX_GZIP gzip REQUIRED)
function(orlax_gzip out source)
  get_filename_component(name ${source} NAME)
  set(compressed ${PROJECT_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${ORLAX_GZIP} -9 -n -c ${source} > ${compressed}
    DEPENDS ${source}
    COMMENT "Compressing ${name}")
  set(${out} ${compressed} PARENT_SCOPE)
endfunction()

set(ORLAX_COMPRESSED)
foreach(component IN LISTS ORLAX_COMPONENTS)
  # Manual pages, with the project's version filled in.
  foreach(page IN LISTS ORLAX_MAN_PAGES_${component})
    configure_file(${CMAKE_CURRENT_LIST_DIR}/man/${page} ${PROJECT_BINARY_DIR}/man/${page} @ONLY)
    orlax_gzip(compressed ${PROJECT_BINARY_DIR}/man/${page})
    list(APPEND ORLAX_COMPRESSED ${compressed})
    install(FILES ${compressed} DESTINATION share/man/man1 COMPONENT ${component})
  endforeach()
  set(doc share/doc/${ORLAX_PACKAGE_${component}})
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${doc} COMPONENT ${component})
endforeach()
orlax_gzip(ORLAX_CHANGELOG ${CMAKE_CURRENT_LIST_DIR}/changelog)
list(APPEND ORLAX_COMPRESSED ${ORLAX_CHANGELOG})
foreach(component IN LISTS ORLAX_COMPONENTS)
  install(FILES ${ORLAX_CHANGELOG} DESTINATION share/doc/${ORLAX_PACKAGE_${component}} COMPONENT ${component})
endforeach()
add_custom_target(orlax_compressed_docs ALL DEPENDS ${ORLAX_COMPRESSED})

# Bash completion for orlaxctl, loaded on demand by bash-completion.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/bash-completion/orlaxctl
        DESTINATION share/bash-completion/completions COMPONENT tools)
if(TARGET orlax-station)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/bash-completion/orlax-station
          DESTINATION share/bash-completion/completions COMPONENT tools)
endif()

# The udev rule giving the technician's session and the lp group access to
# USB-attached units (udev reads /usr/lib/udev/rules.d on Debian 12).
install(FILES ${CMAKE_CURRENT_LIST_DIR}/udev/70-orlax-usb.rules DESTINATION lib/udev/rules.d COMPONENT tools)

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${ORLAX_COMPONENTS})
set(CPACK_PACKAGE_NAME orlax)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_VENDOR Korvane)
set(CPACK_PACKAGE_CONTACT "ORLAX PRO tool maintainers <orlax-tools@korvane.example>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries' packages come from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME orlax-tools)
set(CPACK_COMPONENT_TOOLS_DESCRIPTION
    "set-up and service tool for the ORLAX PRO disc robot\n"
    "Loads start-up and firmware files into an ORLAX PRO disc recording and\n"
    "printing robot, reads and shows its status, adjusts its mechanical and\n"
    "print offsets, clears its ink counters, calibrates it, runs the final\n"
    "tolerance check and logs every unit that passes to a production record.\n"
    "It talks to the unit only through CUPS print queues.\n"
    ".\n"
    "orlax-burner is the desktop window (Qt 6); orlaxctl drives the same window\n"
    "headless from a script.")
# Qt's platform plugins, without which orlax-burner opens no window, are only
# recommended by Qt's own packages.
if(TARGET orlax-burner)
  set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()
set(CPACK_DEBIAN_TOOLS_PACKAGE_SUGGESTS "cups, cups-client, bash-completion, orlax-emulator")

set(CPACK_DEBIAN_EMULATOR_PACKAGE_NAME orlax-emulator)
set(CPACK_COMPONENT_EMULATOR_DESCRIPTION
    "emulated ORLAX PRO disc robot for the set-up tool\n"
    "Runs an emulated ORLAX PRO unit as a network device that a raw CUPS\n"
    "queue reaches, or attached by USB in a umockdev test bed, for trying\n"
    "orlax-tools and its queues without hardware.")
# orlax-emulator --usb runs its command under umockdev's preload library.
set(CPACK_DEBIAN_EMULATOR_PACKAGE_RECOMMENDS "umockdev")
set(CPACK_DEBIAN_EMULATOR_PACKAGE_SUGGESTS "orlax-tools, cups")

foreach(component TOOLS EMULATOR)
  string(JOIN "" CPACK_COMPONENT_${component}_DESCRIPTION ${CPACK_COMPONENT_${component}_DESCRIPTION})
endforeach()
include(CPack)
