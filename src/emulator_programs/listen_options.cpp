#include "emulator_programs/listen_options.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

#include "util/option_table.h"

namespace orlax::emulator {
namespace {

bool ParsePort(std::string_view text, std::uint16_t& port) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value > 65535) return false;
    port = static_cast<std::uint16_t>(value);
    return true;
}

// Whole seconds from 1 to kMaxIdleLimit.
bool ParseIdleLimit(std::string_view text, std::chrono::seconds& limit) {
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 1 ||
        value > static_cast<unsigned>(kMaxIdleLimit.count()))
        return false;
    limit = std::chrono::seconds(value);
    return true;
}

}  // namespace

bool ParseListenAddress(const std::string& text, std::string& host, std::uint16_t& port) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) {
        host = kLoopbackHost;
        return ParsePort(text, port);
    }
    std::string_view name = std::string_view(text).substr(0, colon);
    if (!ParsePort(std::string_view(text).substr(colon + 1), port)) return false;
    if (name.empty()) {
        host = kLoopbackHost;
        return true;
    }
    if (name.front() == '[') {
        if (name.size() < 3 || name.back() != ']') return false;
        name = name.substr(1, name.size() - 2);
    } else if (name.find(':') != std::string_view::npos) {
        return false;  // an IPv6 address needs its brackets
    }
    const bool plain = std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_' || c == ':';
    });
    if (!plain) return false;
    host = std::string(name);
    return true;
}

std::optional<ListenOptions> ParseListenOptions(std::span<const std::string> args, std::string& error) {
    ListenOptions options;
    bool listen = false;
    const auto flag = [](bool& into) {
        return [&into](const std::string&, std::string&) { return into = true; };
    };
    const auto path = [](std::string& into) {
        return [&into](const std::string& value, std::string&) {
            into = value;
            return true;
        };
    };
    const std::array<util::Option, 7> table{{
        {"--help", util::Takes::Nothing, flag(options.help)},
        {"--version", util::Takes::Nothing, flag(options.version)},
        {"--listen", util::Takes::Value,
         [&](const std::string& address, std::string& message) {
             if (!ParseListenAddress(address, options.host, options.port)) {
                 message = "--listen '" + address + "': expected HOST:PORT, [IPV6]:PORT or PORT";
                 return false;
             }
             return listen = true;
         }},
        {"--scenario", util::Takes::Value, path(options.scenarioPath)},
        {"--keep-open", util::Takes::Nothing, flag(options.keepOpen)},
        {"--journal", util::Takes::Value, path(options.journalPath)},
        {"--idle-limit", util::Takes::Value,
         [&](const std::string& seconds, std::string& message) {
             if (!ParseIdleLimit(seconds, options.idleLimit)) {
                 message = "--idle-limit '" + seconds + "': expected whole seconds from 1 to " +
                           std::to_string(kMaxIdleLimit.count());
                 return false;
             }
             return true;
         }},
    }};
    const util::Dialect dialect{
        .missingValue = [](std::string_view spelled, std::string_view valueIs) {
            return "option " + std::string(spelled) + " needs " + std::string(valueIs);
        },
        .unknown = [](std::string_view word) { return "unknown argument '" + std::string(word) + "'"; },
    };
    if (!util::ParseOptions(args, table, dialect, error)) return std::nullopt;
    if (!options.help && !options.version && !listen) {
        error = "--listen HOST:PORT is required";
        return std::nullopt;
    }
    return options;
}

const char* ListenUsageText() {
    return "usage: orlax-emulator --listen HOST:PORT [--scenario FILE] [--journal FILE]\n"
           "                      [--idle-limit SECONDS] [--keep-open]\n"
           "       orlax-emulator --usb [OPTIONS] -- COMMAND [ARG...]   (see --usb --help)\n"
           "\n"
           "Runs an emulated ORLAX PRO as a network unit: status requests and print jobs\n"
           "on one TCP port, as a CUPS queue with the device URI socket://HOST:PORT reaches it.\n"
           "\n"
           "  --listen HOST:PORT  the address to listen on; [IPV6]:PORT, :PORT or PORT alone\n"
           "                      listen on the loopback address 127.0.0.1; port 0 picks a\n"
           "                      free port. The address is printed once listening.\n"
           "  --scenario FILE     the unit's scenario (JSON), as orlaxctl --emulate=FILE\n"
           "  --journal FILE      append one line per status read and per job to FILE\n"
           "  --idle-limit SECONDS  drop a connection that sends nothing for SECONDS\n"
           "                      (default 60); a job it was sending is not taken\n"
           "  --keep-open         after a job, keep the connection open until the sender\n"
           "                      closes it or the idle limit passes, as many network\n"
           "                      printers do (CUPS's socket backend then waits unless\n"
           "                      the queue's URI ends in ?waiteof=false)\n"
           "  --version           print the program's version\n"
           "  --help              this text\n"
           "\n"
           "Stops cleanly on SIGTERM or SIGINT. Exit status: 0 stopped, 1 cannot listen,\n"
           "2 usage error.\n";
}

}  // namespace orlax::emulator
