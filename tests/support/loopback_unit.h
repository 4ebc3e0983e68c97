// A stand-in network unit for the link tests: a TCP server on 127.0.0.1 that
// takes one connection after another, records the first 8 bytes of each and
// answers it as the test says.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

namespace orlax::testing {

// A loopback port on which nothing listens.
inline std::uint16_t ClosedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

// A loopback port whose listener takes no more connections: its backlog is
// full and never drained, so a new connection is neither accepted nor
// refused, as with a unit that is switched off or cut from the network.
class UnreachableUnit {
public:
    UnreachableUnit() {
        listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listenFd_, 0);
        socklen_t length = sizeof address;
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        filler_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ::connect(filler_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ~UnreachableUnit() {
        ::close(filler_);
        ::close(listenFd_);
    }
    UnreachableUnit(const UnreachableUnit&) = delete;
    UnreachableUnit& operator=(const UnreachableUnit&) = delete;
    std::uint16_t Port() const { return port_; }

private:
    int listenFd_ = -1;
    int filler_ = -1;
    std::uint16_t port_ = 0;
};

class LoopbackUnit {
public:
    // What the unit does with a connection once it has read the request.
    using Answer = std::function<void(int fd, int stopFd)>;

    // Sends `bytes` and closes.
    static Answer Reply(std::vector<std::uint8_t> bytes) {
        return [bytes](int fd, int) {
            std::size_t sent = 0;
            while (sent < bytes.size()) {
                const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
                if (n <= 0) return;
                sent += static_cast<std::size_t>(n);
            }
        };
    }
    // Answers nothing until the host gives up (or the test ends).
    static Answer Silent() {
        return [](int fd, int stopFd) {
            std::array<pollfd, 2> entries{pollfd{fd, POLLIN, 0}, pollfd{stopFd, POLLIN, 0}};
            ::poll(entries.data(), entries.size(), -1);
        };
    }
    // Resets the connection.
    static Answer Reset() {
        return [](int fd, int) {
            const linger abort{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        };
    }

    explicit LoopbackUnit(Answer answer) : answer_(std::move(answer)) {
        listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listenFd_, 8);
        socklen_t length = sizeof address;
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        ::pipe2(stop_.data(), O_CLOEXEC);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackUnit() {
        const char byte = 0;
        (void)!::write(stop_[1], &byte, 1);
        thread_.join();
        ::close(listenFd_);
        ::close(stop_[0]);
        ::close(stop_[1]);
    }
    LoopbackUnit(const LoopbackUnit&) = delete;
    LoopbackUnit& operator=(const LoopbackUnit&) = delete;

    std::uint16_t Port() const { return port_; }
    // The first bytes (at most 8) of every connection so far.
    std::vector<std::vector<std::uint8_t>> Requests() {
        const std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    void Serve() {
        for (;;) {
            std::array<pollfd, 2> entries{pollfd{listenFd_, POLLIN, 0}, pollfd{stop_[0], POLLIN, 0}};
            if (::poll(entries.data(), entries.size(), -1) < 0 || entries[1].revents != 0) return;
            const int fd = ::accept(listenFd_, nullptr, nullptr);
            if (fd < 0) continue;
            std::vector<std::uint8_t> request(8);
            std::size_t have = 0;
            while (have < request.size()) {
                const ssize_t n = ::recv(fd, request.data() + have, request.size() - have, 0);
                if (n <= 0) break;
                have += static_cast<std::size_t>(n);
            }
            request.resize(have);
            {
                const std::lock_guard lock(mutex_);
                requests_.push_back(request);
            }
            answer_(fd, stop_[0]);
            ::close(fd);
        }
    }

    Answer answer_;
    int listenFd_ = -1;
    std::uint16_t port_ = 0;
    std::array<int, 2> stop_{-1, -1};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::vector<std::uint8_t>> requests_;
};

}  // namespace orlax::testing
