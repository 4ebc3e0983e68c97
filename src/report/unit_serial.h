// The unit's serial number as its queue's device URI gives it: a USB unit's
// URI names it (usb://MAKE/MODEL?serial=S[&interface=N]); other schemes do
// not.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orlax::report {

// The decoded serial of a usb:// URI; nullopt for another scheme, a URI
// without one, or one whose serial is empty or badly escaped.
std::optional<std::string> SerialOfDeviceUri(std::string_view uri);

}  // namespace orlax::report
