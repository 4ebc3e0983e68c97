// What one status exchange came to, whatever the link: the reply, or the way
// it failed. Each result has its spooler error code (link_codes.h).
#pragma once

#include <cstddef>
#include <string>
#include <utility>

namespace orlax::links {

enum class LinkResult {
    Ok,  // the reply is in the buffer

    // The queue's device URI.
    NoDeviceUri,   // the print service gave none
    NoStatusPath,  // a scheme through which no status can be read
    BadSocketUri,  // a malformed socket:// URI
    BadUsbUri,     // a malformed usb:// URI

    // Any link.
    ReplyTooLong,  // more than 1000 bytes

    // The network link.
    HostUnknown,   // the host name does not resolve
    Refused,       // nothing listens at the address
    TimedOut,      // no address, no connection, or no end of the reply, by the deadline
    NetworkError,  // reset, unreachable, or another socket failure

    // The USB link.
    NotAttached,     // no attached device is the unit the URI names, or it went away mid-exchange
    NoAccess,        // a printer-class device could not be opened: no permission
    Busy,            // the unit's interface is held by another program
    NoReply,         // the unit took no request or sent no complete reply by the deadline
    TransferFailed,  // libusb could not start, a stalled endpoint, or another USB failure
};

struct Outcome {
    LinkResult result = LinkResult::NetworkError;
    std::size_t length = 0;  // reply bytes in the buffer when Ok
    std::string detail;      // what went wrong, for the error text
};

inline Outcome Failure(LinkResult result, std::string detail) { return {result, 0, std::move(detail)}; }

}  // namespace orlax::links
