// The printer-class USB devices attached now, each with what identifies it:
// its bus place and device file, vendor and product IDs and, read through its
// claimed printer interface, its IEEE 1284 device ID and the usb:// URI CUPS's
// usb backend gives it. A device that cannot be opened or claimed (no
// permission, held by CUPS while it delivers a job) is listed with the reason
// instead of its identity. Reading the device ID detaches the kernel's
// printer driver for a moment and attaches it again, as the USB link does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "links/usb/claimed_printer.h"

namespace orlax::links::usb {

struct AttachedPrinter {
    int bus = 0;
    int address = 0;
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::string deviceFile;             // /dev/bus/usb/BBB/DDD
    std::optional<Identity> identity;   // none when it could not be read
    std::string problem;                // why not
};

// False (error set) when libusb cannot start or list the devices.
bool ListAttachedPrinters(std::vector<AttachedPrinter>& printers, std::string& error);

// "1209:0001": vendor and product as lower-case hex digits.
std::string VendorProduct(std::uint16_t vendor, std::uint16_t product);

}  // namespace orlax::links::usb
