// The ORLAX PRO units among the attached USB printers, and what a queue's
// device URI comes to on this station: whether the status can be read
// through it, and whether CUPS's backend ends a job through it as soon as
// the data is sent (prompt_delivery.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "links/usb/attached_printers.h"
#include "links/usb/device_id.h"

namespace orlax::station {

// Whether a device ID names an ORLAX PRO: MFG Korvane, MDL ORLAX PRO (or
// their long keys), compared without case.
bool IsOrlaxPro(const links::usb::DeviceId& id);

// The attached printers that are ORLAX PRO units.
std::vector<links::usb::AttachedPrinter> OrlaxUnits(const std::vector<links::usb::AttachedPrinter>& printers);

// The attached printer a usb:// URI names; nullptr when none is.
const links::usb::AttachedPrinter* Named(const std::vector<links::usb::AttachedPrinter>& printers,
                                         std::string_view usbUri);

enum class Scheme { Socket, Usb, Other };
Scheme SchemeOf(std::string_view uri);

struct UriVerdict {
    bool carriesStatus = false;
    std::string statusWhy;  // when it does not
    std::optional<bool> prompt;  // none: cannot be told (the USB unit is not attached)
    std::string promptWhy;       // when it is not, or cannot be told
};

UriVerdict Judge(std::string_view uri, const std::vector<links::usb::AttachedPrinter>& printers,
                 const std::string& quirksFolder);

}  // namespace orlax::station
