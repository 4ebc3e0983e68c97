// orlax-emulator's command line:
//   orlax-emulator --listen HOST:PORT [--scenario FILE] [--journal FILE]
//                  [--idle-limit SECONDS] [--keep-open]
// HOST:PORT may also be [IPV6]:PORT, :PORT or PORT alone (the loopback
// address 127.0.0.1); port 0 picks a free port, which the program prints.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace orlax::emulator {

inline constexpr const char* kLoopbackHost = "127.0.0.1";
// A connection that sends nothing for this long is dropped, its job unfinished.
inline constexpr std::chrono::seconds kDefaultIdleLimit{60};
inline constexpr std::chrono::seconds kMaxIdleLimit{3600};

struct ListenOptions {
    std::string host = kLoopbackHost;
    std::uint16_t port = 0;
    std::string scenarioPath;  // empty: the default unit
    std::string journalPath;   // empty: no journal
    std::chrono::seconds idleLimit = kDefaultIdleLimit;
    bool keepOpen = false;  // after a job, the connection stays open until the sender closes
    bool help = false;
    bool version = false;
};

// Splits "HOST:PORT" ("[V6]:PORT", ":PORT", "PORT"); false for anything else.
bool ParseListenAddress(const std::string& text, std::string& host, std::uint16_t& port);

// Parses the arguments (without the program name); nullopt with `error` set
// on a usage error.
std::optional<ListenOptions> ParseListenOptions(std::span<const std::string> args, std::string& error);

const char* ListenUsageText();

}  // namespace orlax::emulator
