// The error codes that every spooler of the tool gives through GetLastError:
// the CUPS spooler and the emulated one give the same code for the same
// fault.
//
// A failure that CUPS itself reported keeps CUPS's status code (an IPP status
// such as 1030, client-error-not-found, or 1282, server-error-not-accepting-
// jobs; all below 0x2000) and CUPS's own text; the emulated spooler gives
// 1030 for a queue it does not have, as CUPS does. The unit failing a call
// (the emulated unit's scripted "fail" reply, a fault made on purpose) is 31.
// The spooler's own failures have codes of 7001 and up. Every code and its
// text is in kSpoolerErrors, the one table README and the manual pages list.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace orlax::platform {

inline constexpr std::uint32_t kErrorUnitFailed = 31;
inline constexpr std::uint32_t kErrorNoSuchQueue = 1030;  // CUPS's client-error-not-found
inline constexpr std::uint32_t kErrorInvalidHandle = 7001;
inline constexpr std::uint32_t kErrorInvalidParameter = 7002;
inline constexpr std::uint32_t kErrorUnknownValue = 7003;
inline constexpr std::uint32_t kErrorInvalidDataType = 7004;
inline constexpr std::uint32_t kErrorOutOfOrder = 7005;
inline constexpr std::uint32_t kErrorNoRequest = 7006;
inline constexpr std::uint32_t kErrorMoreData = 7007;
inline constexpr std::uint32_t kErrorBadQueueName = 7008;
inline constexpr std::uint32_t kErrorNoStatusPath = 7009;
inline constexpr std::uint32_t kErrorBadDeviceUri = 7010;
inline constexpr std::uint32_t kErrorDeviceUriUnknown = 7011;
inline constexpr std::uint32_t kErrorHostUnknown = 7012;
inline constexpr std::uint32_t kErrorRefused = 7013;
inline constexpr std::uint32_t kErrorTimedOut = 7014;
inline constexpr std::uint32_t kErrorReplyTooLong = 7015;
inline constexpr std::uint32_t kErrorNetwork = 7016;
inline constexpr std::uint32_t kErrorCupsFailed = 7017;
inline constexpr std::uint32_t kErrorQueuePaused = 7018;
inline constexpr std::uint32_t kErrorQueueRejecting = 7019;
inline constexpr std::uint32_t kErrorJobNotCompleted = 7020;
inline constexpr std::uint32_t kErrorJobNotDelivered = 7021;
inline constexpr std::uint32_t kErrorServerSilent = 7022;
inline constexpr std::uint32_t kErrorServerGone = 7023;
inline constexpr std::uint32_t kErrorUsbNotAttached = 7024;
inline constexpr std::uint32_t kErrorUsbBusy = 7025;
inline constexpr std::uint32_t kErrorUsbNoReply = 7026;
inline constexpr std::uint32_t kErrorUsbFailed = 7027;
inline constexpr std::uint32_t kErrorBadUsbUri = 7028;
inline constexpr std::uint32_t kErrorUsbNoAccess = 7029;
inline constexpr std::uint32_t kErrorMaybeDelivered = 7030;
inline constexpr std::uint32_t kErrorUnitInUse = 7031;

struct SpoolerError {
    std::uint32_t code;
    std::string_view text;
};

// Every code the tool's spoolers give, in code order, with its text. CUPS's
// other status codes come with CUPS's own text.
inline constexpr std::array kSpoolerErrors{
    SpoolerError{kErrorUnitFailed, "the unit or its spooler failed the call"},
    SpoolerError{kErrorNoSuchQueue, "no such queue"},
    SpoolerError{kErrorInvalidHandle, "the printer handle is not open"},
    SpoolerError{kErrorInvalidParameter, "a required argument is missing or out of range"},
    SpoolerError{kErrorUnknownValue, "no printer data of that name"},
    SpoolerError{kErrorInvalidDataType, "only RAW jobs are taken"},
    SpoolerError{kErrorOutOfOrder, "spooler call out of order"},
    SpoolerError{kErrorNoRequest, "status read before any request was written"},
    SpoolerError{kErrorMoreData, "the status reply does not fit the buffer"},
    SpoolerError{kErrorBadQueueName, "no such queue: a queue name has no spaces, tabs, '/' or '#'"},
    SpoolerError{kErrorNoStatusPath,
                 "the queue's device URI is neither socket://HOST:PORT nor usb://MAKE/MODEL; the unit's status "
                 "cannot be read"},
    SpoolerError{kErrorBadDeviceUri, "the queue's socket:// device URI is malformed"},
    SpoolerError{kErrorDeviceUriUnknown, "CUPS did not give the queue's device URI"},
    SpoolerError{kErrorHostUnknown, "the unit's host name cannot be resolved"},
    SpoolerError{kErrorRefused, "the unit refused the connection"},
    SpoolerError{kErrorTimedOut, "the unit did not answer in time"},
    SpoolerError{kErrorReplyTooLong, "the unit's reply is longer than 1000 bytes"},
    SpoolerError{kErrorNetwork, "the connection to the unit failed"},
    SpoolerError{kErrorCupsFailed, "the CUPS request failed"},
    SpoolerError{kErrorQueuePaused, "the queue is paused: a job would wait there unsent"},
    SpoolerError{kErrorQueueRejecting, "the queue does not accept jobs"},
    SpoolerError{kErrorJobNotCompleted,
                 "CUPS had not begun sending the job in time; it was cancelled and can never reach the unit"},
    SpoolerError{kErrorJobNotDelivered, "CUPS did not deliver the job; it was cancelled"},
    SpoolerError{kErrorServerSilent, "the print server did not answer in time"},
    SpoolerError{kErrorServerGone, "the print server closed the connection or cannot be reached"},
    SpoolerError{kErrorUsbNotAttached, "the USB unit the queue names is not attached"},
    SpoolerError{kErrorUsbBusy, "the USB unit's printer interface is held by another program"},
    SpoolerError{kErrorUsbNoReply, "the USB unit did not answer in time"},
    SpoolerError{kErrorUsbFailed, "the USB transfer failed"},
    SpoolerError{kErrorBadUsbUri, "the queue's usb:// device URI is malformed"},
    SpoolerError{kErrorUsbNoAccess, "no permission to open the USB unit"},
    SpoolerError{kErrorMaybeDelivered,
                 "CUPS had begun sending the job and did not complete it in time; the unit may have it"},
    SpoolerError{kErrorUnitInUse, "unit in use by another run of the tool (its text: unit in use by PID N (program))"},
};

constexpr bool InCodeOrder() {
    for (std::size_t i = 1; i < kSpoolerErrors.size(); ++i)
        if (kSpoolerErrors[i - 1].code >= kSpoolerErrors[i].code) return false;
    return true;
}
static_assert(InCodeOrder(), "each code once, in code order");

// The text of one of the codes of the table; empty for any other code.
constexpr std::string_view SpoolerErrorText(std::uint32_t code) {
    for (const SpoolerError& entry : kSpoolerErrors)
        if (entry.code == code) return entry.text;
    return {};
}

}  // namespace orlax::platform
