// The status exchange with a unit attached by USB, through libusb.
//
// The unit is the printer-class device (interface class 7, the bidirectional
// alternate setting, protocol 2, with a bulk OUT and a bulk IN endpoint) whose
// IEEE 1284 device ID gives the URI the queue names (usb_uri.h). For each
// exchange the link opens it, detaches the kernel's printer driver if it is
// bound, claims the interface, selects the alternate setting, writes the
// 8-byte request on bulk OUT and reads the reply from bulk IN; then it
// releases the interface, re-attaches the driver it detached and closes the
// device, on every path. It never holds the interface longer than one
// exchange. While another program (CUPS's usb backend delivering a job)
// holds it, claiming fails and the exchange fails as Busy.
//
// The end of a reply: a bulk IN transfer ends at the first short packet
// (shorter than the endpoint's packet size, a zero-length one included) or
// when its buffer is full. The reply is read as one transfer into a buffer
// of 1024 bytes, a whole number of packets at every USB speed, so a device
// that sends more than it should is seen: more than 1000 bytes is a reply too
// long. A reply of at most 1000 bytes needs nothing after it unless its
// length is a whole number of packets, when the unit ends it with a
// zero-length packet.
//
// Reading the device ID needs the interface claimed too (the kernel refuses
// the class request while its driver has the interface), so each
// printer-class device is looked at once per link: what each device at a
// bus address turned out to be is kept, and a device that is not the unit is
// not disturbed again.
#pragma once

#include <memory>

#include "links/status_link.h"
#include "links/usb/usb_uri.h"

namespace orlax::links::usb {

class UsbLink {
public:
    UsbLink();
    ~UsbLink();
    UsbLink(const UsbLink&) = delete;
    UsbLink& operator=(const UsbLink&) = delete;

    // One status exchange with the unit `unit` names, ending by `deadline`.
    // On Ok the reply's first `length` bytes are in `reply`; otherwise
    // `reply` may hold part of a reply and must not be used.
    Outcome ExchangeStatus(const UsbUri& unit, const protocol::StatusRequest& request, Deadline deadline,
                           ReplyBuffer& reply);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace orlax::links::usb
