#include "report/unit_serial.h"

#include <cctype>

namespace orlax::report {
namespace {

constexpr std::string_view kScheme = "usb://";
constexpr std::string_view kSerialKey = "serial=";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> PercentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = HexValue(text[i + 1]);
        const int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high << 4 | low);
        i += 2;
    }
    return out;
}

bool StartsWithScheme(std::string_view uri) {
    if (uri.size() < kScheme.size()) return false;
    for (std::size_t i = 0; i < kScheme.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(uri[i])) != kScheme[i]) return false;
    return true;
}

}  // namespace

std::optional<std::string> SerialOfDeviceUri(std::string_view uri) {
    if (!StartsWithScheme(uri)) return std::nullopt;
    const std::size_t query = uri.find('?');
    if (query == std::string_view::npos) return std::nullopt;
    std::string_view rest = uri.substr(query + 1);
    while (!rest.empty()) {
        const std::size_t amp = rest.find('&');
        const std::string_view pair = rest.substr(0, amp);
        if (pair.starts_with(kSerialKey)) {
            auto serial = PercentDecoded(pair.substr(kSerialKey.size()));
            if (!serial || serial->empty()) return std::nullopt;
            return serial;
        }
        if (amp == std::string_view::npos) break;
        rest.remove_prefix(amp + 1);
    }
    return std::nullopt;
}

}  // namespace orlax::report
