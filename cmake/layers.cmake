# The folders of src/, lowest first. Each folder is one library, orlax_<folder>
# (a nested folder such as links/usb: orlax_links_usb), built from the
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
orlax_layer(util            "small helpers: hex digits, the descriptor holder, checked formatting, the command-line option helper, the version and exit statuses")
orlax_layer(platform        "the ports only: spooler, clock, dialog layer, progress")
orlax_layer(res             "dialog templates 102, 137, 138 as data, control ids, string table, icon")
orlax_layer(protocol        "the packet and its checksum, the status request and its budgets, the record layout and its field names, the wire's names"
                            USES util)
orlax_layer(clocks          "the real and the virtual clock"
                            USES platform)
orlax_layer(device          "status query and record, commands and busy wait, device files; results and a log port"
                            USES protocol platform util)
orlax_layer(report          "the status report, its JSON form, the production record and its rows for the line database"
                            USES device  NEEDS json)
orlax_layer(operations      "the main window's operations, the final check, the downloads, the move sequences, the operator log"
                            USES report res)
orlax_layer(dialogs         "the adjustment dialogs"
                            USES operations)
orlax_layer(app             "the application object and the main window's thin handlers"
                            USES dialogs)
orlax_layer(headless        "the scripted host"
                            USES platform res)
orlax_layer(linedb          "the production record's line database on PostgreSQL (libpq)"
                            USES report  NEEDS libpq)
orlax_layer(links           "the status link: one interface, one result vocabulary, one code table, the scheme rows' shape"
                            USES protocol platform)
orlax_layer(links/socket    "the network link: socket://HOST:PORT"
                            USES links util)
orlax_layer(links/usb       "the USB link: device ID, usb:// URI, the status exchange over libusb"
                            USES links util  NEEDS libusb  IF ORLAX_BUILD_CUPS)
orlax_layer(cups            "the CUPS spooler: queues, jobs, delivery; the table of link schemes"
                            USES links/socket links/usb protocol platform  NEEDS cups  IF ORLAX_BUILD_CUPS)
orlax_layer(emulator        "the emulated unit: device model, scenario, emulated spooler, fault decorator, journal, network and USB units; the unit a program starts"
                            USES protocol platform clocks util  NEEDS json crypto)
orlax_layer(unit_platform   "the options that choose the unit, and the spooler and clock they choose"
                            USES emulator cups clocks)
orlax_layer(emulator_programs "orlax-emulator: the emulated unit as a network device, or attached by USB in a umockdev test bed"
                            USES emulator  NEEDS umockdev threads)
orlax_layer(cli             "orlaxctl: the main window run headless from a script"
                            USES unit_platform app headless linedb)
orlax_layer(gui             "orlax-burner: the Qt host of the main window and the dialogs"
                            USES unit_platform app linedb  NEEDS qt  IF ORLAX_BUILD_GUI)
orlax_layer(station         "orlax-station: the units attached, a unit's queue set up for prompt delivery, a station checked"
                            USES cups app  IF ORLAX_BUILD_CUPS)
