// orlax-emulator's command line for a unit attached by USB:
//   orlax-emulator --usb [--serial S] [--scenario FILE] [--journal FILE]
//                  [--silent] [--hang-jobs] [--unplug-after N] -- COMMAND [ARG...]
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "emulator/usb_unit.h"

namespace orlax::emulator::usb {

struct UsbOptions {
    std::string serial;        // the default serial number when empty
    std::string scenarioPath;  // empty: the default unit
    std::string journalPath;   // empty: no journal
    UsbFaults faults;
    std::vector<std::string> command;
    bool help = false;
};

// Whether the arguments (without the program name) ask for a USB unit:
// "--usb" among the options, before any "--".
bool IsUsbCommandLine(std::span<const std::string> args);

// nullopt with `error` set on a usage error.
std::optional<UsbOptions> ParseUsbOptions(std::span<const std::string> args, std::string& error);

const char* UsbUsageText();

}  // namespace orlax::emulator::usb
