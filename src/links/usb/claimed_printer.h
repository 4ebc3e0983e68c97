// A printer-class USB device opened with its printer interface claimed, and
// what can be read from it so: its IEEE 1284 device ID and the URI CUPS's usb
// backend names it by. The USB link and the list of attached units share it.
#pragma once

#include <libusb.h>

#include <optional>

#include "links/status_link.h"
#include "links/usb/device_id.h"
#include "links/usb/printer_interface.h"
#include "links/usb/usb_uri.h"

namespace orlax::links::usb {

// Milliseconds left until the deadline, at least 1: libusb takes 0 as "no
// time-out", which must never happen here. nullopt once it has passed.
std::optional<unsigned> MsLeft(Deadline deadline);

// The device opened with its printer interface claimed; released, its kernel
// driver re-attached and closed again whichever way the exchange ends.
class Claim {
public:
    Claim() = default;
    Claim(const Claim&) = delete;
    Claim& operator=(const Claim&) = delete;
    ~Claim();

    // 0 or a libusb error code.
    int Take(libusb_device* device, int number);
    libusb_device_handle* Handle() const { return handle_; }

private:
    libusb_device_handle* handle_ = nullptr;
    int number_ = 0;
    bool claimed_ = false;
    bool detached_ = false;
};

struct Identity {
    DeviceId id;
    UsbUri uri;
};

// The device's device ID and, from it and its serial-number string, its URI;
// nullopt when the device ID cannot be read by `deadline`.
std::optional<Identity> ReadIdentity(libusb_device* device, const Claim& claim, const PrinterInterface& printer,
                                     Deadline deadline);

}  // namespace orlax::links::usb
