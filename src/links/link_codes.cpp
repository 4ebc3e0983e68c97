#include "links/link_codes.h"

#include <array>

#include "platform/spooler_errors.h"

namespace orlax::links {
namespace {

struct ResultCode {
    LinkResult result;
    std::uint32_t code;
};

constexpr std::array kCodes{
    ResultCode{LinkResult::Ok, 0},
    ResultCode{LinkResult::NoDeviceUri, platform::kErrorDeviceUriUnknown},
    ResultCode{LinkResult::NoStatusPath, platform::kErrorNoStatusPath},
    ResultCode{LinkResult::BadSocketUri, platform::kErrorBadDeviceUri},
    ResultCode{LinkResult::BadUsbUri, platform::kErrorBadUsbUri},
    ResultCode{LinkResult::ReplyTooLong, platform::kErrorReplyTooLong},
    ResultCode{LinkResult::HostUnknown, platform::kErrorHostUnknown},
    ResultCode{LinkResult::Refused, platform::kErrorRefused},
    ResultCode{LinkResult::TimedOut, platform::kErrorTimedOut},
    ResultCode{LinkResult::NetworkError, platform::kErrorNetwork},
    ResultCode{LinkResult::NotAttached, platform::kErrorUsbNotAttached},
    ResultCode{LinkResult::NoAccess, platform::kErrorUsbNoAccess},
    ResultCode{LinkResult::Busy, platform::kErrorUsbBusy},
    ResultCode{LinkResult::NoReply, platform::kErrorUsbNoReply},
    ResultCode{LinkResult::TransferFailed, platform::kErrorUsbFailed},
};

}  // namespace

std::uint32_t CodeOf(LinkResult result) {
    for (const ResultCode& entry : kCodes)
        if (entry.result == result) return entry.code;
    return platform::kErrorNetwork;
}

}  // namespace orlax::links
