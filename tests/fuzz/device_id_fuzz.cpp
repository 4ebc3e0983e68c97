// The USB link's device ID reader on any reply a device may give to
// GET_DEVICE_ID, and the URI parser on the same bytes as text. The ID kept
// is at most 1024 bytes without a NUL; every key and value is printable text
// without ';'; the URI that names the device reads back as the same device;
// any URI that parses formats to one that parses the same.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "links/usb/device_id.h"
#include "links/usb/usb_uri.h"

namespace orlax::fuzz {
namespace {

bool Printable(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F && c != ';'; });
}

void CheckReply(std::span<const std::uint8_t> reply) {
    const auto text = links::usb::DeviceIdFromReply(reply);
    FUZZ_CHECK(text.has_value() == (reply.size() >= 2), "a reply of two bytes or more has an ID");
    if (!text) return;
    FUZZ_CHECK(text->size() <= links::usb::kMaxDeviceIdLength, "the ID is kept to its longest");
    FUZZ_CHECK(text->find('\0') == std::string::npos, "the ID ends at a NUL");

    const links::usb::DeviceId id(*text);
    for (const auto& [key, value] : id.Pairs()) {
        FUZZ_CHECK(!key.empty() && Printable(key) && key.find(':') == std::string::npos, "a key is text");
        FUZZ_CHECK(Printable(value), "a value is text");
    }
    const int interface = reply[0] % 3;
    const links::usb::UsbUri device = links::usb::UriOfDevice(id, "", interface);
    FUZZ_CHECK(!device.make.empty() && !device.model.empty(), "a device always has a make and a model");
    const auto named = links::usb::ParseUsbUri(links::usb::FormatUsbUri(device));
    FUZZ_CHECK(named.has_value(), "the device's URI parses");
    FUZZ_CHECK(*named == device, "the device's URI reads back as the device");
    FUZZ_CHECK(links::usb::Names(*named, device), "the device's URI names it");
}

void CheckUri(std::string_view text) {
    const auto uri = links::usb::ParseUsbUri(text);
    if (!uri) return;
    FUZZ_CHECK(!uri->make.empty() && !uri->model.empty(), "a parsed URI has a make and a model");
    const auto again = links::usb::ParseUsbUri(links::usb::FormatUsbUri(*uri));
    FUZZ_CHECK(again.has_value() && *again == *uri, "a parsed URI formats to the same URI");
}

}  // namespace
}  // namespace orlax::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    orlax::fuzz::CheckReply(bytes);
    orlax::fuzz::CheckUri(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
