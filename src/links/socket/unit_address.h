// Where a network unit listens, as a CUPS queue's device URI names it:
// socket://HOST:PORT (the port 9100 when none is given, as CUPS's socket
// backend assumes). HOST is a name, an IPv4 address or an IPv6 address in
// brackets; a path or options after the authority ("/?waiteof=false") are
// the backend's business and are ignored here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orlax::links::socket {

inline constexpr std::uint16_t kDefaultUnitPort = 9100;

struct UnitAddress {
    std::string host;  // without brackets
    std::uint16_t port = kDefaultUnitPort;

    bool operator==(const UnitAddress&) const = default;
};

// The unit's address in a socket:// URI; nullopt when the URI is not a
// well-formed socket:// URI (another scheme, no host, a bad port, ...).
std::optional<UnitAddress> ParseSocketUri(std::string_view uri);

}  // namespace orlax::links::socket
