// The network link's status exchange with a unit: on a connection of its
// own, the host sends the 8-byte status request 1B 04 00 <request> 00 00 00
// <checksum> and reads the reply until the unit closes the connection. The
// whole exchange - looking up the unit's name, connecting, sending, reading -
// ends by a deadline; at most 1000 bytes of reply are kept and a longer reply
// is a failure.
#pragma once

#include "links/status_link.h"
#include "links/socket/unit_address.h"

namespace orlax::links::socket {

// Reads the reply on the connected stream socket `fd` until the unit closes
// the connection (Ok), the reply passes 1000 bytes, the deadline passes or
// the connection fails. `unit` only names the unit in `detail`.
Outcome ReadReply(int fd, ReplyBuffer& reply, const UnitAddress& unit, Deadline deadline);

// One status exchange. On Ok the reply's first `length` bytes are in
// `reply`; otherwise `reply` may hold part of a reply and must not be used.
Outcome ExchangeStatus(const UnitAddress& unit, const protocol::StatusRequest& request, Deadline deadline,
                       ReplyBuffer& reply);

}  // namespace orlax::links::socket
