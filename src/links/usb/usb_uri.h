// A USB unit's CUPS device URI: usb://MAKE/MODEL?serial=S[&interface=N],
// named as CUPS's usb backend names a device from its IEEE 1284 device ID:
// the make from MANUFACTURER or MFG, the model from MODEL or MDL without a
// leading copy of the make, the serial number from SERIALNUMBER, SERN or SN,
// else the USB serial-number string. Spaces, '%' and the characters each part
// reserves are percent-encoded ("ORLAX PRO" is "ORLAX%20PRO").
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "links/usb/device_id.h"

namespace orlax::links::usb {

struct UsbUri {
    std::string make;                   // decoded
    std::string model;                  // decoded
    std::optional<std::string> serial;  // decoded; none: any serial number
    std::optional<int> interface;       // none: the device's printer interface

    bool operator==(const UsbUri&) const = default;
};

// The parts of a usb:// URI; nullopt when it is not a well-formed one (another
// scheme, no make or model, a bad escape, an interface that is not 0..255).
// Query keys other than serial and interface are the backend's business.
std::optional<UsbUri> ParseUsbUri(std::string_view uri);

// The URI of a device with this ID, the USB serial-number string it reports
// (empty if none) and its printer interface's number.
UsbUri UriOfDevice(const DeviceId& id, std::string_view usbSerial, int interfaceNumber);

// The URI as text, with every part percent-encoded.
std::string FormatUsbUri(const UsbUri& uri);

// Whether a device named `device` is the one `wanted` names: same make and
// model (compared without case), the same serial number when `wanted` gives
// one, and the same interface when `wanted` gives one.
bool Names(const UsbUri& wanted, const UsbUri& device);

}  // namespace orlax::links::usb
