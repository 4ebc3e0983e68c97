#include "emulator/usb/usb_options.h"

#include <algorithm>
#include <charconv>

#include "emulator/usb/usb_descriptors.h"

namespace orlax::emulator::usb {

bool IsUsbCommandLine(std::span<const std::string> args) {
    const auto end = std::find(args.begin(), args.end(), "--");
    return std::find(args.begin(), end, "--usb") != end;
}

std::optional<UsbOptions> ParseUsbOptions(std::span<const std::string> args, std::string& error) {
    UsbOptions options;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) {
                error = "option " + arg + " needs a value";
                return false;
            }
            into = args[++i];
            return true;
        };
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg == "--usb") continue;
        if (arg == "--help") {
            options.help = true;
        } else if (arg == "--serial") {
            if (!value(options.serial)) return std::nullopt;
            if (!IsValidSerial(options.serial)) {
                error = "--serial '" + options.serial + "': expected 1 to " + std::to_string(kMaxSerialLength) +
                        " printable characters without ':' or ';'";
                return std::nullopt;
            }
        } else if (arg == "--scenario") {
            if (!value(options.scenarioPath)) return std::nullopt;
        } else if (arg == "--journal") {
            if (!value(options.journalPath)) return std::nullopt;
        } else if (arg == "--silent") {
            options.faults.silent = true;
        } else if (arg == "--unplug-after") {
            std::string count;
            if (!value(count)) return std::nullopt;
            std::uint32_t n = 0;
            const auto [ptr, ec] = std::from_chars(count.data(), count.data() + count.size(), n);
            if (count.empty() || ec != std::errc() || ptr != count.data() + count.size() || n == 0) {
                error = "--unplug-after '" + count + "': expected a status request count from 1";
                return std::nullopt;
            }
            options.faults.unplugAfter = n;
        } else {
            error = "unknown argument '" + arg + "' (with --usb)";
            return std::nullopt;
        }
    }
    options.command.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    if (options.serial.empty()) options.serial = std::string(kDefaultSerial);
    if (!options.help && options.command.empty()) {
        error = "--usb needs a command to run: -- COMMAND [ARG...]";
        return std::nullopt;
    }
    return options;
}

const char* UsbUsageText() {
    return "usage: orlax-emulator --usb [--serial S] [--scenario FILE] [--journal FILE]\n"
           "                      [--silent] [--unplug-after N] -- COMMAND [ARG...]\n"
           "\n"
           "Runs COMMAND with an emulated ORLAX PRO attached as a USB printer (in a umockdev\n"
           "test bed: COMMAND and the programs it starts see the unit through libusb), and\n"
           "exits with COMMAND's status. The unit's IEEE 1284 device ID is\n"
           "MFG:Korvane;MDL:ORLAX PRO;CLS:PRINTER;SN:S; and its CUPS device URI\n"
           "usb://Korvane/ORLAX%20PRO?serial=S.\n"
           "\n"
           "  --serial S          the unit's serial number (default ORLAX0001)\n"
           "  --scenario FILE     the unit's scenario (JSON), as orlaxctl --emulate=FILE\n"
           "  --journal FILE      append one line per status read and per job to FILE\n"
           "  --silent            the unit takes status requests and never answers them\n"
           "  --unplug-after N    the unit is unplugged when status request N arrives,\n"
           "                      before it answers\n"
           "  --help              this text\n"
           "\n"
           "Exit status: COMMAND's (128+N when a signal N ended it); 2 usage error,\n"
           "1 the unit cannot be attached, 127 COMMAND cannot be started.\n";
}

}  // namespace orlax::emulator::usb
