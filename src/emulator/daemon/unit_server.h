// The network unit's TCP server: one listening socket, one thread per
// connection (at most kMaxConnections at once; more wait in the backlog),
// all reaching the same NetworkUnit.
#pragma once

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <thread>

namespace orlax::emulator {

class NetworkUnit;

inline constexpr std::size_t kMaxConnections = 32;

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
    void Reap(bool all);

    NetworkUnit& unit_;
    int listenFd_ = -1;
    std::list<Worker> workers_;
};

}  // namespace orlax::emulator
