// The status exchange with a unit, whatever carries it: one exchange sends
// the 8-byte request and brings back the reply, ending by a deadline. A
// queue's link is chosen once, by its device URI's scheme (schemes.h), when
// the queue is opened.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>

#include "links/link_result.h"
#include "protocol/status_exchange.h"

namespace orlax::links {

using ReplyBuffer = std::array<std::uint8_t, protocol::kMaxStatusReply>;
using Deadline = std::chrono::steady_clock::time_point;

class StatusLink {
public:
    virtual ~StatusLink() = default;
    // One exchange. On Ok the reply's first `length` bytes are in `reply`;
    // otherwise `reply` may hold part of a reply and must not be used.
    virtual Outcome Exchange(const protocol::StatusRequest& request, Deadline deadline, ReplyBuffer& reply) = 0;
};

}  // namespace orlax::links
