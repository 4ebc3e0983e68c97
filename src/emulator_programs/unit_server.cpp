#include "emulator_programs/unit_server.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace orlax::emulator {
namespace {

// Connections the system holds until the server takes them; one that finds
// the queue full is not refused but delayed by a second or more, so the
// server empties it at every turn.
constexpr int kBacklog = static_cast<int>(kMaxConnections);
constexpr std::size_t kPiece = 64 * 1024;
constexpr int kEventsPerTurn = 64;
// Ids of the event loop's own descriptors; connections count from kFirstId.
constexpr std::uint64_t kListenId = 0;
constexpr std::uint64_t kStopId = 1;
constexpr std::uint64_t kFirstId = 2;

// A held connection is watched for nothing: epoll still reports its hang-up.
std::uint32_t EventsFor(Connection::Wait wait) {
    switch (wait) {
        case Connection::Wait::Write: return EPOLLOUT;
        case Connection::Wait::Hold: return 0;
        default: return EPOLLIN;
    }
}

bool Watch(int epollFd, int op, int fd, std::uint64_t id, std::uint32_t events) {
    epoll_event event{};
    event.events = events;
    event.data.u64 = id;
    return ::epoll_ctl(epollFd, op, fd, &event) == 0;
}

struct AddressListDeleter {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};

}  // namespace

UnitServer::UnitServer(NetworkUnit& unit, Connection::Rules rules)
    : unit_(unit),
      rules_(rules),
      idleReason_("no byte for " + std::to_string(rules.idleLimit.count()) + " s"),
      nextId_(kFirstId),
      scratch_(kPiece) {}

UnitServer::~UnitServer() {
    // The connections go before the descriptors they are watched by.
    open_.clear();
}

bool UnitServer::Listen(const std::string& host, std::uint16_t port, std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const int lookup = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (lookup != 0) {
        error = host + ": " + ::gai_strerror(lookup);
        return false;
    }
    const std::unique_ptr<addrinfo, AddressListDeleter> addresses(found);
    error = host + ": no address to listen on";
    for (const addrinfo* address = addresses.get(); address; address = address->ai_next) {
        util::UniqueFd fd(
            ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, address->ai_protocol));
        if (!fd) continue;
        const int on = 1;
        ::setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(fd.Get(), address->ai_addr, address->ai_addrlen) == 0 && ::listen(fd.Get(), kBacklog) == 0) {
            listenFd_ = std::move(fd);
            epollFd_.Reset(::epoll_create1(EPOLL_CLOEXEC));
            if (!epollFd_ || !Watch(epollFd_.Get(), EPOLL_CTL_ADD, listenFd_.Get(), kListenId, EPOLLIN)) {
                error = std::string("event loop: ") + std::strerror(errno);
                return false;
            }
            error.clear();
            return true;
        }
        error = host + ":" + std::to_string(port) + ": " + std::strerror(errno);
    }
    return false;
}

std::string UnitServer::BoundAddress() const {
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    if (!listenFd_ || ::getsockname(listenFd_.Get(), reinterpret_cast<sockaddr*>(&bound), &length) != 0) return {};
    std::array<char, INET6_ADDRSTRLEN> text{};
    if (bound.ss_family == AF_INET6) {
        sockaddr_in6 v6{};
        std::memcpy(&v6, &bound, sizeof v6);
        ::inet_ntop(AF_INET6, &v6.sin6_addr, text.data(), text.size());
        return "[" + std::string(text.data()) + "]:" + std::to_string(ntohs(v6.sin6_port));
    }
    sockaddr_in v4{};
    std::memcpy(&v4, &bound, sizeof v4);
    ::inet_ntop(AF_INET, &v4.sin_addr, text.data(), text.size());
    return std::string(text.data()) + ":" + std::to_string(ntohs(v4.sin_port));
}

void UnitServer::Accept() {
    for (int taken = 0; taken < kEventsPerTurn; ++taken) {
        util::UniqueFd accepted(::accept4(listenFd_.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (!accepted) {
            // Out of descriptors: the connection whose time runs out first
            // makes room, and this one is taken at the next turn.
            if ((errno == EMFILE || errno == ENFILE) && !open_.empty()) Drop("no descriptor left");
            return;
        }
        if (open_.size() >= kMaxConnections) Drop("the most connections are open");
        const std::uint64_t id = nextId_++;
        const int fd = accepted.Get();
        auto connection = std::make_unique<Connection>(std::move(accepted), unit_, rules_);
        // A status request has mostly arrived with its connection: answered
        // before the connection is even watched.
        const Connection::Wait wait = connection->OnReadable(scratch_);
        if (wait == Connection::Wait::Close) continue;
        if (!Watch(epollFd_.Get(), EPOLL_CTL_ADD, fd, id, EventsFor(wait))) {
            connection->Abandon(std::strerror(errno));
            continue;
        }
        const auto deadline = connection->Deadline();
        open_.emplace(id, Open{std::move(connection), wait, deadline});
        timers_.emplace(deadline, id);
    }
}

// A connection waiting to send is called to send whatever came (an error
// or hang-up makes the send fail); any other to receive.
void UnitServer::Serve(std::uint64_t id) {
    const auto found = open_.find(id);
    if (found == open_.end()) return;  // closed earlier in this turn
    Connection& connection = *found->second.connection;
    Follow(id,
           found->second.wait == Connection::Wait::Write ? connection.OnWritable() : connection.OnReadable(scratch_));
}

void UnitServer::Follow(std::uint64_t id, Connection::Wait wait) {
    const auto found = open_.find(id);
    Open& open = found->second;
    if (wait == Connection::Wait::Close) {  // its descriptor closed, so no longer watched
        timers_.erase({open.deadline, id});
        open_.erase(found);
        return;
    }
    if (wait != open.wait) {
        Watch(epollFd_.Get(), EPOLL_CTL_MOD, open.connection->Fd(), id, EventsFor(wait));
        open.wait = wait;
    }
    const auto deadline = open.connection->Deadline();
    if (deadline != open.deadline) {
        timers_.erase({open.deadline, id});
        timers_.emplace(deadline, id);
        open.deadline = deadline;
    }
}

void UnitServer::Drop(const char* why) {
    if (timers_.empty()) return;
    const std::uint64_t id = timers_.begin()->second;
    timers_.erase(timers_.begin());
    const auto found = open_.find(id);
    found->second.connection->Abandon(why);
    open_.erase(found);
}

void UnitServer::ExpireTimers() {
    const auto now = Clock::now();
    while (!timers_.empty() && timers_.begin()->first <= now) Drop(idleReason_.c_str());
}

int UnitServer::NextTimeout() const {
    if (timers_.empty()) return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(timers_.begin()->first - Clock::now());
    return static_cast<int>(std::max<std::int64_t>(left.count(), 0));
}

void UnitServer::Run(int stopFd) {
    if (!Watch(epollFd_.Get(), EPOLL_CTL_ADD, stopFd, kStopId, EPOLLIN)) return;
    std::array<epoll_event, kEventsPerTurn> events{};
    bool stopping = false;
    while (!stopping) {
        const int ready = ::epoll_wait(epollFd_.Get(), events.data(), static_cast<int>(events.size()), NextTimeout());
        if (ready < 0 && errno != EINTR) break;
        for (int i = 0; i < ready; ++i) {
            const std::uint64_t id = events[static_cast<std::size_t>(i)].data.u64;
            if (id == kStopId)
                stopping = true;
            else if (id == kListenId)
                Accept();
            else
                Serve(id);
        }
        ExpireTimers();
    }
    while (!timers_.empty()) Drop("the unit stopped");
    ::epoll_ctl(epollFd_.Get(), EPOLL_CTL_DEL, stopFd, nullptr);
}

}  // namespace orlax::emulator
