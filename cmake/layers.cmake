# The folders of src/, lowest first. Each folder is one library, orlax_<folder>
# (a nested folder such as emulator/usb: orlax_emulator_usb), built from the
# folder's own .cpp files (a program's main files, main.cpp and *_main.cpp,
# are left to the folder's CMakeLists.txt). A folder links the folders it
# USES, which must stand above it in this list, and includes only its own
# headers and those of the folders it reaches through them. NEEDS names the
# libraries from outside (cmake/packages.cmake); IF the option without which
# the folder is not built (a folder that uses one not built goes without it).
#
# This list is the one statement of the layers: the build (CMakeLists.txt),
# the fuzz build (tests/fuzz), the include check (scripts/check-layers.sh)
# and README's Layout (compared with it by the test readme_layers) read it.
# A new folder is one more row here.
#
#           folder           what it holds
#                            USES (our folders)  NEEDS (from outside)  IF (option)
orlax_layer(util            "small helpers: hex digits, the descriptor holder, checked formatting, the command-line option helper")
orlax_layer(platform        "the ports only: spooler, clock, dialog layer, progress")
orlax_layer(res             "dialog templates 102, 137, 138 as data, control ids, string table, icon")
orlax_layer(protocol        "the packet and its checksum, the status request, the record layout, the wire's names"
                            USES util)
orlax_layer(clocks          "the real and the virtual clock"
                            USES platform)
orlax_layer(device          "status query and record, commands and busy wait, device files; results and a log port"
                            USES protocol platform util)
orlax_layer(report          "the status report and the production record"
                            USES device)
orlax_layer(operations      "the outcome of an operation"
                            USES device)
orlax_layer(dialogs         "the adjustment dialogs"
                            USES operations report res)
orlax_layer(app             "the application object, the main window, its operations and the final check"
                            USES dialogs)
orlax_layer(headless        "the scripted host"
                            USES platform res)
orlax_layer(usb             "the USB link: device ID, URI, the status exchange over libusb"
                            USES util  NEEDS libusb  IF ORLAX_BUILD_CUPS)
orlax_layer(spooler         "the CUPS spooler and the network link"
                            USES usb protocol platform  NEEDS cups  IF ORLAX_BUILD_CUPS)
orlax_layer(emulator        "the emulated unit: device model, scenario, emulated spooler, fault decorator, journal; the unit a program starts"
                            USES protocol platform clocks util  NEEDS json crypto)
orlax_layer(unit_platform   "the options that choose the unit, and the spooler and clock they choose"
                            USES emulator spooler clocks)
orlax_layer(emulator/usb    "the emulated unit attached by USB in a umockdev test bed"
                            USES emulator  NEEDS umockdev threads  IF ORLAX_BUILD_CUPS)
orlax_layer(cli             "orlaxctl: the main window run headless from a script"
                            USES unit_platform app headless)
orlax_layer(gui             "orlax-burner: the Qt host of the main window and the dialogs"
                            USES unit_platform app  NEEDS qt  IF ORLAX_BUILD_GUI)
orlax_layer(emulator/daemon "orlax-emulator: the emulated unit as a network device, or by USB"
                            USES emulator/usb  NEEDS threads  IF ORLAX_BUILD_CUPS)
