// The scheme usb://MAKE/MODEL?serial=S: the unit's status over USB
// (usb_link.h). The scheme's links share one view of the bus, so that each
// printer that is not the unit is looked at once.
#pragma once

#include <memory>

#include "links/schemes.h"

namespace orlax::links::usb {

std::unique_ptr<LinkMaker> StartUsbLinks();

inline constexpr Scheme kScheme{"usb", LinkResult::BadUsbUri, &StartUsbLinks};

}  // namespace orlax::links::usb
