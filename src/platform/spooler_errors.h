// The error codes that every spooler of the tool gives through GetLastError:
// the CUPS spooler and the emulated one give the same code for the same
// fault.
//
// A failure that CUPS itself reported keeps CUPS's status code (an IPP status
// such as 1030, client-error-not-found, or 1282, server-error-not-accepting-
// jobs; all below 0x2000) and CUPS's own text; the emulated spooler gives
// 1030 for a queue it does not have, as CUPS does. The unit failing a call
// (the emulated unit's scripted "fail" reply, a fault made on purpose) is 31.
// The spooler's own failures have codes of 7001 and up:
//
//   7001  the handle is not open
//   7002  a required argument is missing or out of range
//   7003  no printer data of that name (only "KORVANE" exists)
//   7004  a data type other than "RAW"
//   7005  a call out of order (a page without a document, a second document,
//         a document ended while its page is open, ...)
//   7006  a status read before any request was written
//   7007  the status reply does not fit the caller's buffer
//   7008  no such queue: the name cannot be a CUPS queue name
//   7009  the queue's device URI is neither socket://HOST:PORT nor
//         usb://MAKE/MODEL..., so the unit's status cannot be read through it
//   7010  the queue's socket:// device URI is malformed
//   7011  CUPS did not give the queue's device URI
//   7012  the unit's host name cannot be resolved
//   7013  the unit refused the connection (nothing listens at HOST:PORT)
//   7014  the unit did not connect, or did not finish its reply, in time
//   7015  the unit's reply is longer than 1000 bytes
//   7016  the connection to the unit failed otherwise (reset, unreachable)
//   7017  a CUPS request failed without a status of CUPS's own
//   7018  the queue is paused (stopped): a job would wait there, unsent
//   7019  the queue does not accept jobs
//   7020  CUPS did not complete the job within its bound (job cancelled)
//   7021  CUPS stopped, held, aborted or canceled the job (job cancelled)
//   7022  the print server did not answer in time
//   7023  the print server closed the connection, or cannot be reached
//   7024  no attached USB device is the unit the usb:// URI names (or it was
//         unplugged during the exchange)
//   7025  the unit's USB printer interface is held by another program (CUPS's
//         usb backend delivering a job)
//   7026  the USB unit took no request or sent no complete reply in time
//   7027  another USB failure (libusb cannot start, a stalled endpoint, ...)
//   7028  the queue's usb:// device URI is malformed
//   7029  a USB printer could not be opened: no permission (see the udev rule)
#pragma once

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

// The text of one of the spooler's own codes; empty for any other code.
std::string_view SpoolerErrorText(std::uint32_t code);

}  // namespace orlax::platform
