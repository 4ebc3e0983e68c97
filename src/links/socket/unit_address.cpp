#include "links/socket/unit_address.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace orlax::links::socket {
namespace {

constexpr std::string_view kScheme = "socket://";

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
}

bool IsIpv6Char(char c) { return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.'; }

// "HOST" or "HOST:PORT" or "[V6]" or "[V6]:PORT"; the host without brackets
// and the port text (empty when none).
bool SplitAuthority(std::string_view authority, std::string_view& host, std::string_view& port) {
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) return false;
        host = authority.substr(1, close - 1);
        const std::string_view rest = authority.substr(close + 1);
        if (!rest.empty() && rest.front() != ':') return false;
        port = rest.empty() ? rest : rest.substr(1);
        return !host.empty() && std::all_of(host.begin(), host.end(), IsIpv6Char);
    }
    const std::size_t colon = authority.find(':');
    host = authority.substr(0, colon);
    port = colon == std::string_view::npos ? std::string_view{} : authority.substr(colon + 1);
    if (colon != std::string_view::npos && port.empty()) return false;  // "host:" names no port
    return !host.empty() && std::all_of(host.begin(), host.end(), IsNameChar);
}

}  // namespace

std::optional<UnitAddress> ParseSocketUri(std::string_view uri) {
    if (uri.size() < kScheme.size() || !EqualsIgnoringCase(uri.substr(0, kScheme.size()), kScheme))
        return std::nullopt;
    std::string_view authority = uri.substr(kScheme.size());
    authority = authority.substr(0, authority.find_first_of("/?#"));
    // A user part ("user@host") carries nothing a unit uses.
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos)
        authority = authority.substr(at + 1);

    std::string_view host, portText;
    if (!SplitAuthority(authority, host, portText)) return std::nullopt;
    UnitAddress address{std::string(host), kDefaultUnitPort};
    if (!portText.empty()) {
        unsigned port = 0;
        const char* end = portText.data() + portText.size();
        const auto [ptr, ec] = std::from_chars(portText.data(), end, port);
        if (ec != std::errc() || ptr != end || port == 0 || port > 65535) return std::nullopt;
        address.port = static_cast<std::uint16_t>(port);
    }
    return address;
}

}  // namespace orlax::links::socket
