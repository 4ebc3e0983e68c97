#include "links/usb/usb_uri.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "util/hex.h"

namespace orlax::links::usb {
namespace {

constexpr std::string_view kScheme = "usb://";
constexpr int kMaxInterface = 255;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// Every byte outside printable ASCII, '%', a space and the `reserved` ones.
std::string Encode(std::string_view text, std::string_view reserved) {
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F || c == '%' || reserved.find(c) != std::string_view::npos) {
            out += '%';
            util::AppendHexByte(out, u, util::HexCase::Upper);
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<int> ParseInterface(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < 0 || value > kMaxInterface) return std::nullopt;
    return value;
}

}  // namespace

std::optional<UsbUri> ParseUsbUri(std::string_view uri) {
    if (!StartsWithIgnoringCase(uri, kScheme)) return std::nullopt;
    std::string_view rest = uri.substr(kScheme.size());
    rest = rest.substr(0, rest.find('#'));
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::size_t question = rest.find('?', slash);
    const std::string_view makeText = rest.substr(0, slash);
    const std::string_view modelText = rest.substr(slash + 1, question == std::string_view::npos ? question : question - slash - 1);
    const std::optional<std::string> make = util::PercentDecoded(makeText);
    const std::optional<std::string> model = util::PercentDecoded(modelText);
    if (!make || !model || make->empty() || model->empty()) return std::nullopt;

    UsbUri parsed{*make, *model, std::nullopt, std::nullopt};
    std::string_view query = question == std::string_view::npos ? std::string_view{} : rest.substr(question + 1);
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view{} : query.substr(amp + 1);
        const std::size_t equals = pair.find('=');
        const std::string_view key = pair.substr(0, equals);
        const std::string_view value = equals == std::string_view::npos ? std::string_view{} : pair.substr(equals + 1);
        if (key == "serial") {
            const std::optional<std::string> serial = util::PercentDecoded(value);
            if (!serial || serial->empty()) return std::nullopt;
            parsed.serial = *serial;
        } else if (key == "interface") {
            parsed.interface = ParseInterface(value);
            if (!parsed.interface) return std::nullopt;
        }
    }
    return parsed;
}

UsbUri UriOfDevice(const DeviceId& id, std::string_view usbSerial, int interfaceNumber) {
    const std::optional<std::string> model = id.Model();
    const std::optional<std::string> description = id.Description();
    std::string make;
    if (const std::optional<std::string> given = id.Make()) {
        make = *given;
    } else {
        // No make: the first word of the model or description, else "Unknown".
        const std::string source = model ? *model : description ? *description : "Unknown";
        make = source.substr(0, source.find(' '));
    }
    std::string name = model ? *model : description ? *description
                                      : (EqualsIgnoringCase(make, "Unknown") ? "Printer" : "Unknown Model");
    // "Korvane ORLAX PRO" from a make of "Korvane" is the model "ORLAX PRO".
    if (name.size() > make.size() && StartsWithIgnoringCase(name, make) && name[make.size()] == ' ') {
        const std::size_t start = name.find_first_not_of(' ', make.size());
        if (start != std::string::npos) name = name.substr(start);
    }
    UsbUri uri{make, name, id.Serial(), std::nullopt};
    if (!uri.serial && !usbSerial.empty()) uri.serial = std::string(usbSerial);
    if (interfaceNumber > 0) uri.interface = interfaceNumber;
    return uri;
}

std::string FormatUsbUri(const UsbUri& uri) {
    std::string text = std::string(kScheme) + Encode(uri.make, "/?#@:[]") + "/" + Encode(uri.model, "?#");
    char separator = '?';
    if (uri.serial) {
        text += separator + std::string("serial=") + Encode(*uri.serial, "&#=?");
        separator = '&';
    }
    if (uri.interface) text += separator + std::string("interface=") + std::to_string(*uri.interface);
    return text;
}

bool Names(const UsbUri& wanted, const UsbUri& device) {
    if (!EqualsIgnoringCase(wanted.make, device.make) || !EqualsIgnoringCase(wanted.model, device.model)) return false;
    if (wanted.serial && wanted.serial != device.serial) return false;
    if (wanted.interface && wanted.interface.value_or(0) != device.interface.value_or(0)) return false;
    return true;
}

}  // namespace orlax::links::usb
