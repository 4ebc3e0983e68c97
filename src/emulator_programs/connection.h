// One connection to the network unit, served without ever waiting: the
// server calls it when its socket is ready and it says what it waits for
// next. A connection that starts with the status packet gets the status
// reply; the unit then ends its side and reads (and ignores) whatever else
// the peer sends until the peer closes, so that the peer reads the whole
// reply rather than a reset (a failed read is a reset connection). Anything
// else is a print job: every byte until the peer closes its side, streamed
// into the unit. A connection that ends before sending anything is no job.
//
// A job that does not reach its end (the peer resets it, says nothing for
// the idle time, or the server stops or needs its place) is abandoned and
// never delivered: the unit does not act on a part of a command or device
// file. Its own peer always ends a whole job by closing its side.
//
// After a whole job the unit closes its side at once; or, with
// `keepOpenAfterJob`, as many network printers do, it keeps the connection
// open until the peer closes it or the idle time runs out (a sender that
// waits for the unit to close first waits that long).
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "emulator/network_unit.h"
#include "protocol/command_packet.h"
#include "util/unique_fd.h"

namespace orlax::emulator {

// An answered status connection is closed at the latest this long after
// its reply, whatever the peer still sends (the host waits 1000 ms).
inline constexpr std::chrono::seconds kStatusLingerLimit{2};

class Connection {
public:
    // What the connection waits for next; Hold: nothing but the peer's
    // hang-up or its time running out.
    enum class Wait { Read, Write, Hold, Close };

    struct Rules {
        // A job connection, or one that has not yet sent its first 8 bytes,
        // is dropped after this long without a byte.
        std::chrono::seconds idleLimit;
        bool keepOpenAfterJob = false;
    };

    // Takes `fd` (non-blocking), which it closes.
    Connection(util::UniqueFd fd, NetworkUnit& unit, Rules rules);
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    int Fd() const { return fd_.Get(); }
    // One receive into `scratch`, the server's buffer, and what follows.
    Wait OnReadable(std::span<std::uint8_t> scratch);
    Wait OnWritable();
    // The connection's time has run out; or the server stops or needs its
    // place (`why` says which, for the abandoned job's message).
    void Abandon(const char* why);
    // Its time limit as of now: the idle limit from its last byte, or the
    // linger limit from its status reply.
    std::chrono::steady_clock::time_point Deadline() const { return deadline_; }

private:
    enum class Phase { Opening, Job, Replying, Lingering, Held, Closed };

    Wait Opening(std::span<const std::uint8_t> bytes);
    Wait AnswerStatus();
    Wait SendReply();
    Wait EndJob();
    Wait Close(bool reset);
    void Touch(std::chrono::steady_clock::duration limit);

    util::UniqueFd fd_;
    NetworkUnit& unit_;
    Rules rules_;
    Phase phase_ = Phase::Opening;
    std::array<std::uint8_t, protocol::kCommandPacketSize> start_{};
    std::size_t have_ = 0;  // bytes of start_ received
    std::optional<StreamedJob> job_;
    std::vector<std::uint8_t> reply_;  // what remains to be sent
    std::chrono::steady_clock::time_point deadline_;
};

}  // namespace orlax::emulator
