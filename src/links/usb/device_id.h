// The IEEE 1284 device ID a printer-class USB device reports: "KEY:VALUE;"
// pairs such as "MFG:Korvane;MDL:ORLAX PRO;CLS:PRINTER;SN:ORLAX0001;".
//
// Read leniently, as devices write them: keys in any order and any case,
// spaces around keys and values, a last pair without its ';', pieces without
// a ':' and bytes that are not printable text are skipped. The first value of
// a key counts. Nothing here reads past the text it is given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orlax::links::usb {

// The longest device ID kept (the class request's length field is 16 bits).
inline constexpr std::size_t kMaxDeviceIdLength = 1024;

class DeviceId {
public:
    DeviceId() = default;
    explicit DeviceId(std::string_view text);

    // The value of the first pair whose key is one of `keys` (in the order
    // given, compared without case); nullopt when none has a value.
    std::optional<std::string> Find(std::initializer_list<std::string_view> keys) const;

    // MANUFACTURER, else MFG.
    std::optional<std::string> Make() const { return Find({"MANUFACTURER", "MFG"}); }
    // MODEL, else MDL.
    std::optional<std::string> Model() const { return Find({"MODEL", "MDL"}); }
    // SERIALNUMBER, else SERN, else SN.
    std::optional<std::string> Serial() const { return Find({"SERIALNUMBER", "SERN", "SN"}); }
    // DESCRIPTION, else DES.
    std::optional<std::string> Description() const { return Find({"DESCRIPTION", "DES"}); }

    const std::vector<std::pair<std::string, std::string>>& Pairs() const { return pairs_; }

private:
    std::vector<std::pair<std::string, std::string>> pairs_;
};

// The device ID text in a GET_DEVICE_ID reply: a 2-byte length (big-endian,
// counting itself), then the text. Devices that write the length
// little-endian, or a length past the reply, are read as far as the reply
// goes; the text ends at the first NUL. nullopt for a reply shorter than the
// length field.
std::optional<std::string> DeviceIdFromReply(std::span<const std::uint8_t> reply);

}  // namespace orlax::links::usb
