#include "emulator/daemon/unit_server.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>

#include "emulator/daemon/connection.h"

namespace orlax::emulator {
namespace {

// Connections the system holds until the server takes them; one that finds
// the queue full is not refused but delayed by a second or more, so the
// server empties it at every turn.
constexpr int kBacklog = static_cast<int>(kMaxWaiting);
// How often a full server looks again whether a connection has ended.
constexpr int kFullRecheckMs = 50;

struct AddressListDeleter {
    void operator()(addrinfo* list) const { ::freeaddrinfo(list); }
};

}  // namespace

UnitServer::~UnitServer() {
    for (const Waiting& connection : waiting_) ::close(connection.fd);
    Reap(true);
    if (listenFd_ >= 0) ::close(listenFd_);
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
        const int fd =
            ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, address->ai_protocol);
        if (fd < 0) continue;
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(fd, address->ai_addr, address->ai_addrlen) == 0 && ::listen(fd, kBacklog) == 0) {
            listenFd_ = fd;
            error.clear();
            return true;
        }
        error = host + ":" + std::to_string(port) + ": " + std::strerror(errno);
        ::close(fd);
    }
    return false;
}

std::string UnitServer::BoundAddress() const {
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    if (listenFd_ < 0 || ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&bound), &length) != 0) return {};
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

void UnitServer::Reap(bool all) {
    for (auto worker = workers_.begin(); worker != workers_.end();) {
        if (all || worker->done->load()) {
            worker->thread.join();
            worker = workers_.erase(worker);
        } else {
            ++worker;
        }
    }
}

void UnitServer::Accept() {
    for (int taken = 0; taken < kBacklog; ++taken) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) return;
        if (waiting_.size() >= kMaxWaiting) {
            ::close(waiting_.front().fd);
            waiting_.pop_front();
        }
        waiting_.push_back({fd, std::chrono::steady_clock::now()});
    }
}

void UnitServer::Serve(int fd, int stopFd) {
    auto done = std::make_shared<std::atomic<bool>>(false);
    workers_.push_back(Worker{std::thread([this, fd, stopFd, done] {
                                  ServeConnection(fd, stopFd, unit_);
                                  done->store(true);
                              }),
                              done});
}

void UnitServer::HandOver(const std::vector<bool>& readable, int stopFd) {
    const auto now = std::chrono::steady_clock::now();
    std::deque<Waiting> still;
    for (std::size_t i = 0; i < waiting_.size(); ++i) {
        const Waiting& connection = waiting_[i];
        if (readable[i] && AnswerStatusAtOnce(connection.fd, unit_)) continue;
        if (readable[i] && workers_.size() < kMaxConnections)
            Serve(connection.fd, stopFd);
        else if (!readable[i] && now - connection.since >= kConnectionIdleLimit)
            ::close(connection.fd);
        else
            still.push_back(connection);
    }
    waiting_.swap(still);
}

int UnitServer::NextIdleEnd() const {
    if (waiting_.empty()) return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(waiting_.front().since + kConnectionIdleLimit -
                                                                   std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::int64_t>(left.count(), 0));
}

void UnitServer::Run(int stopFd) {
    std::vector<pollfd> entries;
    std::vector<bool> readable;
    for (;;) {
        Reap(false);
        // A full server does not look at the waiting connections: they stay
        // as they are until a thread is free.
        const bool full = workers_.size() >= kMaxConnections;
        entries = {pollfd{stopFd, POLLIN, 0}, pollfd{listenFd_, POLLIN, 0}};
        for (const Waiting& connection : waiting_) entries.push_back(pollfd{full ? -1 : connection.fd, POLLIN, 0});
        const int ready = ::poll(entries.data(), entries.size(), full ? kFullRecheckMs : NextIdleEnd());
        if (ready < 0 && errno != EINTR) break;
        if (entries[0].revents != 0) break;
        if (ready < 0) continue;
        if (!full) {
            readable.assign(waiting_.size(), false);
            for (std::size_t i = 0; i < waiting_.size(); ++i) readable[i] = entries[i + 2].revents != 0;
            HandOver(readable, stopFd);
        }
        if ((entries[1].revents & POLLIN) != 0) Accept();
    }
    for (const Waiting& connection : waiting_) ::close(connection.fd);
    waiting_.clear();
    Reap(true);
}

}  // namespace orlax::emulator
