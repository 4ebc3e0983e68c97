// The network unit's TCP server: one listening socket and every open
// connection served by one event loop on one thread, each connection
// called only when its socket is ready (connection.h). No connection ever
// holds the loop: a status request is answered as soon as its 8 bytes are
// there, whatever other connections send, trickle or hold back; a job is
// streamed through in pieces of at most 64 KiB, one piece per turn, so
// that a long job and a status request take turns.
//
// At most kMaxConnections are open: taking one more closes the one whose
// time runs out first (the one longest without a byte, or an answered
// status connection still open), abandoning its job if it had one.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "emulator_programs/connection.h"

namespace orlax::emulator {

class NetworkUnit;

inline constexpr std::size_t kMaxConnections = 256;

class UnitServer {
public:
    // A connection that sends nothing for `rules.idleLimit` is dropped.
    UnitServer(NetworkUnit& unit, Connection::Rules rules);
    ~UnitServer();
    UnitServer(const UnitServer&) = delete;
    UnitServer& operator=(const UnitServer&) = delete;

    // Listens on host:port (port 0: a free port). False with `error` set
    // when the address cannot be resolved or bound, or the event loop
    // cannot be set up.
    bool Listen(const std::string& host, std::uint16_t port, std::string& error);
    // The address actually bound, as "HOST:PORT" ("[V6]:PORT" for IPv6).
    std::string BoundAddress() const;

    // Serves connections until `stopFd` becomes readable; then abandons the
    // open connections and returns.
    void Run(int stopFd);

private:
    using Clock = std::chrono::steady_clock;
    using Timer = std::pair<Clock::time_point, std::uint64_t>;  // deadline, connection id
    struct Open {
        std::unique_ptr<Connection> connection;
        Connection::Wait wait;
        Clock::time_point deadline;
    };

    // Takes the connections that the listening socket holds.
    void Accept();
    // Calls connection `id`, which is ready, and follows what it waits for
    // next.
    void Serve(std::uint64_t id);
    void Follow(std::uint64_t id, Connection::Wait wait);
    // Ends the connection whose time runs out first, with `why`.
    void Drop(const char* why);
    void ExpireTimers();
    // Milliseconds until the next deadline; -1 when none is open.
    int NextTimeout() const;

    NetworkUnit& unit_;
    Connection::Rules rules_;
    std::string idleReason_;  // why a connection is dropped for idling
    util::UniqueFd listenFd_;
    util::UniqueFd epollFd_;
    std::uint64_t nextId_ = 0;
    std::unordered_map<std::uint64_t, Open> open_;
    std::set<Timer> timers_;             // one per open connection, soonest first
    std::vector<std::uint8_t> scratch_;  // every receive lands here
};

}  // namespace orlax::emulator
