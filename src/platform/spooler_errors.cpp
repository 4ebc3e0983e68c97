#include "platform/spooler_errors.h"

#include <array>

namespace orlax::platform {
namespace {

struct ErrorText {
    std::uint32_t code;
    std::string_view text;
};

constexpr std::array kErrorTexts{
    ErrorText{kErrorUnitFailed, "the unit or its spooler failed the call"},
    ErrorText{kErrorInvalidHandle, "the printer handle is not open"},
    ErrorText{kErrorInvalidParameter, "a required argument is missing or out of range"},
    ErrorText{kErrorUnknownValue, "no printer data of that name"},
    ErrorText{kErrorInvalidDataType, "only RAW jobs are taken"},
    ErrorText{kErrorOutOfOrder, "spooler call out of order"},
    ErrorText{kErrorNoRequest, "status read before any request was written"},
    ErrorText{kErrorMoreData, "the status reply does not fit the buffer"},
    ErrorText{kErrorBadQueueName, "no such queue: a queue name has no spaces, tabs, '/' or '#'"},
    ErrorText{kErrorNoStatusPath,
              "the queue's device URI is neither socket://HOST:PORT nor usb://MAKE/MODEL; the unit's status "
              "cannot be read"},
    ErrorText{kErrorBadDeviceUri, "the queue's socket:// device URI is malformed"},
    ErrorText{kErrorDeviceUriUnknown, "CUPS did not give the queue's device URI"},
    ErrorText{kErrorHostUnknown, "the unit's host name cannot be resolved"},
    ErrorText{kErrorRefused, "the unit refused the connection"},
    ErrorText{kErrorTimedOut, "the unit did not answer in time"},
    ErrorText{kErrorReplyTooLong, "the unit's reply is longer than 1000 bytes"},
    ErrorText{kErrorNetwork, "the connection to the unit failed"},
    ErrorText{kErrorCupsFailed, "the CUPS request failed"},
    ErrorText{kErrorQueuePaused, "the queue is paused: a job would wait there unsent"},
    ErrorText{kErrorQueueRejecting, "the queue does not accept jobs"},
    ErrorText{kErrorJobNotCompleted, "CUPS did not complete the job in time; it was cancelled"},
    ErrorText{kErrorJobNotDelivered, "CUPS did not deliver the job; it was cancelled"},
    ErrorText{kErrorServerSilent, "the print server did not answer in time"},
    ErrorText{kErrorServerGone, "the print server closed the connection or cannot be reached"},
    ErrorText{kErrorUsbNotAttached, "the USB unit the queue names is not attached"},
    ErrorText{kErrorUsbBusy, "the USB unit's printer interface is held by another program"},
    ErrorText{kErrorUsbNoReply, "the USB unit did not answer in time"},
    ErrorText{kErrorUsbFailed, "the USB transfer failed"},
    ErrorText{kErrorBadUsbUri, "the queue's usb:// device URI is malformed"},
    ErrorText{kErrorUsbNoAccess, "no permission to open the USB unit"},
};

}  // namespace

std::string_view SpoolerErrorText(std::uint32_t code) {
    for (const ErrorText& entry : kErrorTexts)
        if (entry.code == code) return entry.text;
    return {};
}

}  // namespace orlax::platform
