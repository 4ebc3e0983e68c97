// Clients of orlax-emulator for the hostile-client tests: loopback
// connections whose every wait is bounded, and what /proc tells of the
// emulator process (its id, memory and threads).
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace orlax::reliability {

// The longest a client waits for one connect, send or read.
inline constexpr int kClientWaitSeconds = 10;

class Client {
public:
    // Connects to the unit on the loopback address.
    explicit Client(std::uint16_t port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const timeval wait{kClientWaitSeconds, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);  // bounds connect() too
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) Close();
    }
    ~Client() { Close(); }
    Client(Client&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Client& operator=(Client&&) = delete;
    Client(const Client&) = delete;

    bool Connected() const { return fd_ >= 0; }

    bool Send(std::span<const std::uint8_t> bytes) {
        while (fd_ >= 0 && !bytes.empty()) {
            const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n <= 0) return false;
            bytes = bytes.subspan(static_cast<std::size_t>(n));
        }
        return fd_ >= 0;
    }
    // Ends the sending side: the end of a job.
    void EndSending() {
        if (fd_ >= 0) ::shutdown(fd_, SHUT_WR);
    }
    // Everything the unit sends until it closes; nullopt on a failure or
    // when the unit neither sends nor closes in time.
    std::optional<std::vector<std::uint8_t>> ReadToEnd() {
        std::vector<std::uint8_t> bytes;
        std::uint8_t piece[4096];
        for (;;) {
            if (fd_ < 0) return std::nullopt;
            const ssize_t n = ::recv(fd_, piece, sizeof piece, 0);
            if (n == 0) return bytes;
            if (n < 0) return std::nullopt;
            bytes.insert(bytes.end(), piece, piece + n);
        }
    }
    // Whether the unit has closed the connection, seen without waiting.
    bool ClosedByUnit() const {
        pollfd entry{fd_, POLLIN, 0};
        std::uint8_t byte = 0;
        return ::poll(&entry, 1, 0) == 1 && ::recv(fd_, &byte, 1, MSG_DONTWAIT | MSG_PEEK) <= 0;
    }
    // Drops the connection with a reset, as a client that dies mid-way.
    void Reset() {
        if (fd_ < 0) return;
        const linger abort{1, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        Close();
    }

private:
    void Close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

    int fd_ = -1;
};

// Whether the process has ended (a zombie not yet reaped, or gone).
inline bool ProcessEnded(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("State:", 0) == 0) {
            const auto state = line.find_first_not_of(" \t", 6);
            return state == std::string::npos || line[state] == 'Z' || line[state] == 'X';
        }
    return true;
}

// A number of /proc/PID/status ("VmHWM", "VmRSS" in KiB, "Threads"); -1
// when the process or the field is not there.
inline long ProcessFigure(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
    return -1;
}

}  // namespace orlax::reliability
