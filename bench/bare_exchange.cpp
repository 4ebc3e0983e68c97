#include "bare_exchange.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace orlax::bench {
namespace {

sockaddr_in Loopback(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

// Reads until the peer closes or `bytes` is full; the count read.
std::size_t ReadToEnd(int fd, std::uint8_t* bytes, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::recv(fd, bytes + got, size - got, 0);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;
    }
    return got;
}

}  // namespace

BareReplyServer::BareReplyServer() {
    if (::pipe(stopPipe_) != 0) return;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 64) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return;
    }
    listenFd_ = fd;
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

BareReplyServer::~BareReplyServer() {
    if (stopPipe_[1] >= 0) {
        const char stop = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(stopPipe_[1], &stop, 1);
    }
    if (thread_.joinable()) thread_.join();
    for (const int fd : {listenFd_, stopPipe_[0], stopPipe_[1]})
        if (fd >= 0) ::close(fd);
}

void BareReplyServer::Serve() {
    const std::array<std::uint8_t, kBareReplySize> reply{};
    for (;;) {
        std::array<pollfd, 2> entries{pollfd{listenFd_, POLLIN, 0}, pollfd{stopPipe_[0], POLLIN, 0}};
        if (::poll(entries.data(), entries.size(), -1) < 0 && errno != EINTR) return;
        if (entries[1].revents != 0) return;
        if ((entries[0].revents & POLLIN) == 0) continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        std::array<std::uint8_t, kBareRequestSize> request{};
        if (ReadToEnd(fd, request.data(), request.size()) == request.size())
            ::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
        ::close(fd);
    }
}

std::size_t BareExchange(std::uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    const sockaddr_in address = Loopback(port);
    std::size_t got = 0;
    // The network unit's status request, so that a real unit would answer it too.
    const std::array<std::uint8_t, kBareRequestSize> request{0x1B, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F};
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
        std::array<std::uint8_t, kBareReplySize + 1> reply{};
        got = ReadToEnd(fd, reply.data(), reply.size());
    }
    ::close(fd);
    return got;
}

}  // namespace orlax::bench
