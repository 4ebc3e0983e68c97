#include "report/unit_serial.h"

#include <cctype>

#include "util/hex.h"

namespace orlax::report {
namespace {

constexpr std::string_view kScheme = "usb://";
constexpr std::string_view kSerialKey = "serial=";

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
            auto serial = util::PercentDecoded(pair.substr(kSerialKey.size()));
            if (!serial || serial->empty()) return std::nullopt;
            return serial;
        }
        if (amp == std::string_view::npos) break;
        rest.remove_prefix(amp + 1);
    }
    return std::nullopt;
}

}  // namespace orlax::report
