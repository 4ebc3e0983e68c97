// The network link's status exchange with a unit: on a connection of its
// own, the host sends the 8 bytes 1B 04 00 <request> 00 00 00 <checksum>
// (checksum: the low 8 bits of the sum of bytes 0 to 6) and reads the reply
// until the unit closes the connection. The whole exchange - looking up the
// unit's name, connecting, sending, reading - ends by a deadline; at most 1000 bytes of reply are
// kept and a longer reply is a failure.
#pragma once

#include "protocol/command_packet.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "spooler/unit_address.h"

namespace orlax::spooler {

inline constexpr std::size_t kMaxStatusReply = 1000;

using StatusReplyBuffer = std::array<std::uint8_t, kMaxStatusReply>;
using LinkDeadline = std::chrono::steady_clock::time_point;


enum class LinkResult {
    Ok,            // the unit sent its reply and closed the connection
    HostUnknown,   // the host name does not resolve
    Refused,       // nothing listens at the address
    TimedOut,      // no address, no connection, or no end of the reply, by the deadline
    ReplyTooLong,  // more than 1000 bytes
    NetworkError,  // reset, unreachable, or another socket failure
};

struct LinkOutcome {
    LinkResult result = LinkResult::NetworkError;
    std::size_t length = 0;  // reply bytes in the buffer when Ok
    std::string detail;      // what went wrong, for the error text
};

// Reads the reply on the connected stream socket `fd` until the unit closes
// the connection (Ok), the reply passes 1000 bytes, the deadline passes or
// the connection fails. `unit` only names the unit in `detail`.
LinkOutcome ReadReply(int fd, StatusReplyBuffer& reply, const UnitAddress& unit, LinkDeadline deadline);

// One status exchange. On Ok the reply's first `length` bytes are in
// `reply`; otherwise `reply` may hold part of a reply and must not be used.
LinkOutcome ExchangeStatus(const UnitAddress& unit, std::uint8_t request, LinkDeadline deadline,
                           StatusReplyBuffer& reply);

}  // namespace orlax::spooler
