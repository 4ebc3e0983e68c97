#include "links/usb/device_id.h"

#include <algorithm>
#include <cctype>

namespace orlax::links::usb {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

bool IsKeyChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == '-' || c == ' ';
}

// Printable ASCII only: a value goes into URIs and texts.
std::string Printable(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F) out += c;
    }
    return out;
}

}  // namespace

DeviceId::DeviceId(std::string_view text) {
    text = text.substr(0, std::min(text.size(), kMaxDeviceIdLength));
    text = text.substr(0, text.find('\0'));
    while (!text.empty()) {
        const std::size_t end = text.find(';');
        const std::string_view piece = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        const std::size_t colon = piece.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view key = Trim(piece.substr(0, colon));
        if (key.empty() || !std::all_of(key.begin(), key.end(), IsKeyChar)) continue;
        const std::string value = Printable(Trim(piece.substr(colon + 1)));
        pairs_.emplace_back(std::string(key), std::string(Trim(value)));
    }
}

std::optional<std::string> DeviceId::Find(std::initializer_list<std::string_view> keys) const {
    for (const std::string_view key : keys)
        for (const auto& [name, value] : pairs_)
            if (EqualsIgnoringCase(name, key)) {
                if (value.empty()) break;  // an empty value names nothing; try the next key
                return value;
            }
    return std::nullopt;
}

std::optional<std::string> DeviceIdFromReply(std::span<const std::uint8_t> reply) {
    if (reply.size() < 2) return std::nullopt;
    const std::size_t bigEndian = (std::size_t{reply[0]} << 8) | reply[1];
    const std::size_t littleEndian = (std::size_t{reply[1]} << 8) | reply[0];
    std::size_t length = reply.size();
    if (bigEndian >= 2 && bigEndian <= reply.size())
        length = bigEndian;
    else if (littleEndian >= 2 && littleEndian <= reply.size())
        length = littleEndian;
    const auto text = reply.subspan(2, std::min(length, kMaxDeviceIdLength + 2) - 2);
    std::string id(text.begin(), text.end());
    id.resize(std::min(id.size(), id.find('\0')));
    return id;
}

}  // namespace orlax::links::usb
