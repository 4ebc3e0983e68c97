#include "emulator_programs/usb_options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

#include "emulator/usb_descriptors.h"
#include "util/option_table.h"

namespace orlax::emulator::usb {

bool IsUsbCommandLine(std::span<const std::string> args) {
    const auto end = std::find(args.begin(), args.end(), "--");
    return std::find(args.begin(), end, "--usb") != end;
}

// The options end at "--"; the command follows it.
std::optional<UsbOptions> ParseUsbOptions(std::span<const std::string> args, std::string& error) {
    UsbOptions options;
    const auto dashes = std::find(args.begin(), args.end(), "--");
    if (dashes != args.end()) options.command.assign(dashes + 1, args.end());
    const auto path = [](std::string& into) {
        return [&into](const std::string& value, std::string&) {
            into = value;
            return true;
        };
    };
    const std::array<util::Option, 8> table{{
        {"--usb", util::Takes::Nothing, [](const std::string&, std::string&) { return true; }},
        {"--help", util::Takes::Nothing, [&](const std::string&, std::string&) { return options.help = true; }},
        {"--serial", util::Takes::Value,
         [&](const std::string& serial, std::string& message) {
             options.serial = serial;
             if (IsValidSerial(serial)) return true;
             message = "--serial '" + serial + "': expected 1 to " + std::to_string(kMaxSerialLength) +
                       " printable characters without ':' or ';'";
             return false;
         }},
        {"--scenario", util::Takes::Value, path(options.scenarioPath)},
        {"--journal", util::Takes::Value, path(options.journalPath)},
        {"--silent", util::Takes::Nothing,
         [&](const std::string&, std::string&) { return options.faults.silent = true; }},
        {"--hang-jobs", util::Takes::Nothing,
         [&](const std::string&, std::string&) { return options.faults.hangJobs = true; }},
        {"--unplug-after", util::Takes::Value,
         [&](const std::string& count, std::string& message) {
             std::uint32_t n = 0;
             const auto [ptr, ec] = std::from_chars(count.data(), count.data() + count.size(), n);
             if (count.empty() || ec != std::errc() || ptr != count.data() + count.size() || n == 0) {
                 message = "--unplug-after '" + count + "': expected a status request count from 1";
                 return false;
             }
             options.faults.unplugAfter = n;
             return true;
         }},
    }};
    const util::Dialect dialect{
        .missingValue = [](std::string_view spelled, std::string_view valueIs) {
            return "option " + std::string(spelled) + " needs " + std::string(valueIs);
        },
        .unknown = [](std::string_view word) {
            return "unknown argument '" + std::string(word) + "' (with --usb)";
        },
    };
    const std::span<const std::string> words(args.begin(), dashes);
    if (!util::ParseOptions(words, table, dialect, error)) return std::nullopt;
    if (options.serial.empty()) options.serial = std::string(kDefaultSerial);
    if (!options.help && options.command.empty()) {
        error = "--usb needs a command to run: -- COMMAND [ARG...]";
        return std::nullopt;
    }
    return options;
}

const char* UsbUsageText() {
    return "usage: orlax-emulator --usb [--serial S] [--scenario FILE] [--journal FILE]\n"
           "                      [--silent] [--hang-jobs] [--unplug-after N] -- COMMAND [ARG...]\n"
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
           "  --hang-jobs         the unit takes a job's bytes and never finishes their\n"
           "                      transfer, as a unit that stopped while taking it\n"
           "  --unplug-after N    the unit is unplugged when status request N arrives,\n"
           "                      before it answers\n"
           "  --help              this text\n"
           "\n"
           "Exit status: COMMAND's (128+N when a signal N ended it); 2 usage error,\n"
           "1 the unit cannot be attached, 127 COMMAND cannot be started.\n";
}

}  // namespace orlax::emulator::usb
