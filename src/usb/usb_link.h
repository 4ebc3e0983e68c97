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

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "usb/usb_uri.h"

namespace orlax::usb {

inline constexpr std::size_t kMaxStatusReply = 1000;
inline constexpr std::size_t kStatusRequestSize = 8;

using ReplyBuffer = std::array<std::uint8_t, kMaxStatusReply>;
using Deadline = std::chrono::steady_clock::time_point;

enum class UsbResult {
    Ok,              // the reply is in the buffer
    NotAttached,     // no attached device is the unit the URI names, or it went away mid-exchange
    NoAccess,        // a printer-class device could not be opened: no permission
    Busy,            // the unit's interface is held by another program
    NoReply,         // the unit took no request or sent no complete reply by the deadline
    ReplyTooLong,    // more than 1000 bytes
    TransferFailed,  // libusb could not start, a stalled endpoint, or another USB failure
};

struct UsbOutcome {
    UsbResult result = UsbResult::TransferFailed;
    std::size_t length = 0;  // reply bytes in the buffer when Ok
    std::string detail;      // what went wrong, for the error text
};

class UsbLink {
public:
    UsbLink();
    ~UsbLink();
    UsbLink(const UsbLink&) = delete;
    UsbLink& operator=(const UsbLink&) = delete;

    // One status exchange with the unit `unit` names, ending by `deadline`.
    // On Ok the reply's first `length` bytes are in `reply`; otherwise
    // `reply` may hold part of a reply and must not be used.
    UsbOutcome ExchangeStatus(const UsbUri& unit, std::span<const std::uint8_t, kStatusRequestSize> request,
                              Deadline deadline, ReplyBuffer& reply);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace orlax::usb
