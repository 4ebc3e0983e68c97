// The network unit's TCP server: one listening socket; every connection is
// taken at once and waits with the server, on no thread of its own, until
// its first bytes (or its end) arrive. A status request that has arrived
// whole is answered there and then, on the server's thread (8 bytes in, at
// most 1000 out: no thread of its own to start for it). Anything else gets a
// thread (at most kMaxConnections at once; more wait with the server until
// one ends), all reaching the same NetworkUnit. A waiting connection that sends nothing
// for the idle time is closed, and so is the oldest waiting one when
// kMaxWaiting are waiting: connections that say nothing never keep others
// from being served.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace orlax::emulator {

class NetworkUnit;

inline constexpr std::size_t kMaxConnections = 32;
inline constexpr std::size_t kMaxWaiting = 256;

class UnitServer {
public:
    explicit UnitServer(NetworkUnit& unit) : unit_(unit) {}
    ~UnitServer();
    UnitServer(const UnitServer&) = delete;
    UnitServer& operator=(const UnitServer&) = delete;

    // Listens on host:port (port 0: a free port). False with `error` set
    // when the address cannot be resolved or bound.
    bool Listen(const std::string& host, std::uint16_t port, std::string& error);
    // The address actually bound, as "HOST:PORT" ("[V6]:PORT" for IPv6).
    std::string BoundAddress() const;

    // Serves connections until `stopFd` becomes readable; then abandons the
    // open connections and returns once their threads have ended.
    void Run(int stopFd);

private:
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    // A connection taken from the listening socket that has sent nothing yet.
    struct Waiting {
        int fd;
        std::chrono::steady_clock::time_point since;
    };
    void Reap(bool all);
    // Takes the connections that the listening socket holds.
    void Accept();
    void Serve(int fd, int stopFd);
    // Hands the waiting connections that have something to read (`readable`,
    // in the order of waiting_) to threads while there is room; closes those
    // that have waited the idle time with nothing to read.
    void HandOver(const std::vector<bool>& readable, int stopFd);
    // Milliseconds until the oldest waiting connection's idle time ends; -1
    // when none waits.
    int NextIdleEnd() const;

    NetworkUnit& unit_;
    int listenFd_ = -1;
    std::list<Worker> workers_;
    std::deque<Waiting> waiting_;  // oldest first
};

}  // namespace orlax::emulator
