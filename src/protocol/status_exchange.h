// The sizes and time budgets of a status exchange with the unit, one home
// each: the 8-byte request a link sends, the most reply bytes kept, the time
// one exchange may take and the time budget of one status query (all its
// reads together).
#pragma once

#include <cstddef>
#include <cstdint>

#include "protocol/command_packet.h"

namespace orlax::protocol {

// The request of a link that reaches the unit itself: MakeStatusRequest.
inline constexpr std::size_t kStatusRequestSize = kCommandPacketSize;
using StatusRequest = CommandPacket;

// The most bytes of a status reply kept; a longer reply is a failure. The
// tool's status buffer has the same size.
inline constexpr std::size_t kMaxStatusReply = 1000;

// One exchange, from looking up or finding the unit to the end of its reply.
inline constexpr std::uint32_t kStatusExchangeMs = 1000;
// One status query: its reads, retried, end within this time.
inline constexpr std::uint32_t kStatusQueryBudgetMs = 2000;

}  // namespace orlax::protocol
