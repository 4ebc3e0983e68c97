#include "links/socket/network_link.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <numeric>

#include "links/socket/name_lookup.h"
#include "util/unique_fd.h"

namespace orlax::links::socket {
namespace {

using Clock = std::chrono::steady_clock;

// A socket closed whichever way the exchange ends.
using Socket = util::UniqueFd;

std::string Where(const UnitAddress& unit) { return unit.host + ":" + std::to_string(unit.port); }

Outcome FromErrno(int error, const UnitAddress& unit) {
    const std::string detail = Where(unit) + ": " + std::strerror(error);
    return Failure(error == ECONNREFUSED ? LinkResult::Refused : LinkResult::NetworkError, detail);
}

// Waits until `fd` is ready for `events` or the deadline passes. Returns the
// poll events seen, 0 on the deadline, or -1 (errno set) on a poll failure.
// Past the deadline it still looks once, so that what has already happened
// (a refusal, the end of a reply) is seen as such.
int WaitFor(int fd, short events, Deadline deadline) {
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return ready;
        return entry.revents;
    }
}

// Connects a non-blocking socket to one address by the deadline.
Outcome Connect(const Socket& socket, const addrinfo& address, const UnitAddress& unit,
                    Deadline deadline) {
    if (::connect(socket.Get(), address.ai_addr, address.ai_addrlen) == 0) return {LinkResult::Ok, 0, {}};
    if (errno != EINPROGRESS) return FromErrno(errno, unit);
    const int ready = WaitFor(socket.Get(), POLLOUT, deadline);
    if (ready < 0) return FromErrno(errno, unit);
    if (ready == 0) return Failure(LinkResult::TimedOut, Where(unit) + ": no connection in time");
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(socket.Get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0) return FromErrno(errno, unit);
    if (error != 0) return FromErrno(error, unit);
    return {LinkResult::Ok, 0, {}};
}

Outcome SendPacket(const Socket& socket, const protocol::StatusRequest& packet, const UnitAddress& unit,
                       Deadline deadline) {
    std::size_t sent = 0;
    while (sent < packet.size()) {
        const ssize_t n = ::send(socket.Get(), packet.data() + sent, packet.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return FromErrno(errno, unit);
        const int ready = WaitFor(socket.Get(), POLLOUT, deadline);
        if (ready < 0) return FromErrno(errno, unit);
        if (ready == 0) return Failure(LinkResult::TimedOut, Where(unit) + ": request not taken in time");
    }
    return {LinkResult::Ok, 0, {}};
}

}  // namespace

// One byte beyond the buffer is enough to know that the reply is too long.
Outcome ReadReply(int fd, ReplyBuffer& reply, const UnitAddress& unit, Deadline deadline) {
    std::size_t length = 0;
    for (;;) {
        std::uint8_t beyond = 0;
        std::uint8_t* into = length < reply.size() ? reply.data() + length : &beyond;
        const std::size_t room = length < reply.size() ? reply.size() - length : 1;
        const ssize_t n = ::recv(fd, into, room, MSG_DONTWAIT);
        if (n == 0) return {LinkResult::Ok, length, {}};
        if (n > 0) {
            if (into == &beyond)
                return Failure(LinkResult::ReplyTooLong,
                               Where(unit) + ": reply longer than " + std::to_string(reply.size()) + " bytes");
            length += static_cast<std::size_t>(n);
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return FromErrno(errno, unit);
        const int ready = WaitFor(fd, POLLIN, deadline);
        if (ready < 0) return FromErrno(errno, unit);
        if (ready == 0)
            return Failure(LinkResult::TimedOut, Where(unit) + ": reply not finished in time (" +
                                                     std::to_string(length) + " bytes so far)");
    }
}

Outcome ExchangeStatus(const UnitAddress& unit, const protocol::StatusRequest& request, Deadline deadline,
                       ReplyBuffer& reply) {
    // The lookup is part of the exchange and ends by its deadline.
    Lookup lookup = LookUpBy(unit.host, unit.port, deadline);
    if (lookup.result == LookupResult::TimedOut) return Failure(LinkResult::TimedOut, lookup.detail);
    if (lookup.result != LookupResult::Ok) return Failure(LinkResult::HostUnknown, lookup.detail);
    const AddressList addresses = std::move(lookup.addresses);

    // Each address in turn, as long as the unit refuses or cannot be reached.
    Outcome outcome = Failure(LinkResult::NetworkError, Where(unit) + ": no address");
    for (const addrinfo* address = addresses.get(); address; address = address->ai_next) {
        const Socket socket(
            ::socket(address->ai_family, address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address->ai_protocol));
        if (socket.Get() < 0) {
            outcome = FromErrno(errno, unit);
            continue;
        }
        outcome = Connect(socket, *address, unit, deadline);
        if (outcome.result == LinkResult::TimedOut) return outcome;
        if (outcome.result != LinkResult::Ok) continue;
        outcome = SendPacket(socket, request, unit, deadline);
        if (outcome.result != LinkResult::Ok) return outcome;
        return ReadReply(socket.Get(), reply, unit, deadline);
    }
    return outcome;
}

}  // namespace orlax::links::socket
