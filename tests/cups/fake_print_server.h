// A print server on a loopback port that misbehaves as the test asks: it
// never answers, it closes every connection once the request has come, or
// it answers IPP requests (every one succeeds, with job-id 7) but takes no
// document data once a document has begun. One thread per connection. The
// mode can change while it runs (a server that stalls, then answers again),
// and it counts the IPP requests it answered by operation.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace orlax::testing {

class FakePrintServer {
public:
    enum class Mode { Silent, Closes, TakesNoData };

    explicit FakePrintServer(Mode mode) : mode_(mode) {
        listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listenFd_, 16);
        socklen_t length = sizeof address;
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        (void)!::pipe2(stop_.data(), O_CLOEXEC);
        acceptor_ = std::thread([this] { Accept(); });
    }
    ~FakePrintServer() {
        const char byte = 0;
        (void)!::write(stop_[1], &byte, 1);
        acceptor_.join();
        for (std::thread& thread : connections_) thread.join();
        ::close(listenFd_);
        ::close(stop_[0]);
        ::close(stop_[1]);
    }
    FakePrintServer(const FakePrintServer&) = delete;
    FakePrintServer& operator=(const FakePrintServer&) = delete;

    std::uint16_t Port() const { return port_; }
    // From the next request on.
    void SetMode(Mode mode) { mode_ = mode; }
    // How many requests of IPP operation `operation` it answered.
    int Answered(int operation) {
        const std::lock_guard lock(mutex_);
        return answered_[operation];
    }
    std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    // Waits for `fd` to be readable; false when the test ends first.
    bool Readable(int fd) const {
        std::array<pollfd, 2> entries{pollfd{fd, POLLIN, 0}, pollfd{stop_[0], POLLIN, 0}};
        return ::poll(entries.data(), entries.size(), -1) > 0 && entries[1].revents == 0;
    }

    void Accept() {
        while (Readable(listenFd_)) {
            const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) connections_.emplace_back([this, fd] { Serve(fd); });
        }
    }

    // Reads until `have` holds `part`; false when the peer or the test ends.
    bool ReadUntil(int fd, std::string& have, std::string_view part) const {
        char buffer[4096];
        while (have.find(part) == std::string::npos) {
            if (!Readable(fd)) return false;
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) return false;
            have.append(buffer, static_cast<std::size_t>(n));
        }
        return true;
    }

    bool ReadAtLeast(int fd, std::string& have, std::size_t count) const {
        char buffer[4096];
        while (have.size() < count) {
            if (!Readable(fd)) return false;
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) return false;
            have.append(buffer, static_cast<std::size_t>(n));
        }
        return true;
    }

    void Send(int fd, std::string_view bytes) const { (void)!::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL); }

    // A successful IPP answer to the request whose body starts `body`.
    static std::string IppAnswer(std::string_view body) {
        std::string ipp{"\x02\x00\x00\x00", 4};
        ipp += body.size() >= 8 ? std::string(body.substr(4, 4)) : std::string(4, '\0');
        const auto attribute = [&](char tag, std::string_view name, std::string_view value) {
            ipp += tag;
            ipp += static_cast<char>(name.size() >> 8);
            ipp += static_cast<char>(name.size() & 0xFF);
            ipp += name;
            ipp += static_cast<char>(value.size() >> 8);
            ipp += static_cast<char>(value.size() & 0xFF);
            ipp += value;
        };
        ipp += '\x01';
        attribute('\x47', "attributes-charset", "utf-8");
        attribute('\x48', "attributes-natural-language", "en");
        ipp += '\x02';
        attribute('\x21', "job-id", std::string_view("\x00\x00\x00\x07", 4));
        ipp += '\x03';
        return "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: " + std::to_string(ipp.size()) +
               "\r\n\r\n" + ipp;
    }

    void Serve(int fd) {
        std::string have;
        while (ReadUntil(fd, have, "\r\n\r\n")) {
            const std::size_t end = have.find("\r\n\r\n") + 4;
            const std::string head = have.substr(0, end);
            have.erase(0, end);
            if (mode_ == Mode::Closes) break;
            if (mode_ == Mode::Silent) {
                while (ReadUntil(fd, have, "never")) have.clear();
                break;
            }
            if (head.find("100-continue") != std::string::npos) Send(fd, "HTTP/1.1 100 Continue\r\n\r\n");
            if (head.find("chunked") != std::string::npos) {  // a document: take nothing more
                Readable(-1);  // waits for the end of the test
                break;
            }
            const std::size_t at = head.find("Content-Length: ");
            const std::size_t length = at == std::string::npos ? 0 : std::stoul(head.substr(at + 16));
            if (!ReadAtLeast(fd, have, length)) break;
            if (have.size() >= 4) {
                const std::lock_guard lock(mutex_);
                ++answered_[(static_cast<unsigned char>(have[2]) << 8) | static_cast<unsigned char>(have[3])];
            }
            Send(fd, IppAnswer(have));
            have.erase(0, std::min(length, have.size()));
        }
        ::close(fd);
    }

    std::atomic<Mode> mode_;
    std::mutex mutex_;
    std::map<int, int> answered_;
    int listenFd_ = -1;
    std::array<int, 2> stop_{-1, -1};
    std::uint16_t port_ = 0;
    std::thread acceptor_;
    std::vector<std::thread> connections_;
};

}  // namespace orlax::testing
