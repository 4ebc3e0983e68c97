// The physical limit of the status exchange on this machine: a bare TCP
// connection between two sockets on the loopback address, 8 bytes one way,
// 100 bytes back, then closed. No protocol checks, no time limits, no
// lookup: what the network link can never beat.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

namespace orlax::bench {

inline constexpr std::size_t kBareRequestSize = 8;
inline constexpr std::size_t kBareReplySize = 100;

// A loopback server that answers each connection's 8 bytes with 100 bytes
// and closes it, one connection after another, on a thread of its own.
class BareReplyServer {
public:
    BareReplyServer();
    ~BareReplyServer();
    BareReplyServer(const BareReplyServer&) = delete;
    BareReplyServer& operator=(const BareReplyServer&) = delete;

    bool Ok() const { return listenFd_ >= 0; }
    std::uint16_t Port() const { return port_; }

private:
    void Serve();

    int listenFd_ = -1;
    int stopPipe_[2] = {-1, -1};
    std::uint16_t port_ = 0;
    std::thread thread_;
};

// One exchange with the server on `port`: the number of reply bytes read
// (100 when all went well).
std::size_t BareExchange(std::uint16_t port);

}  // namespace orlax::bench
