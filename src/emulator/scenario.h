// The emulated unit's scenario: the queues it is reached through, the record
// it starts with, how long it stays busy after a command, a script of status
// replies, the spooler steps that fail and how the spooler delivers jobs. Read from a JSON file by
// ParseScenario / LoadScenarioFile; every key is optional.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/status_exchange.h"
#include "protocol/status_record.h"

namespace orlax::emulator {

using Record = std::array<std::uint8_t, protocol::kStatusRecordSize>;

// One entry of the status reply script.
enum class ReplyKind {
    Ok,      // the device's normal reply
    Busy,    // a normal record with systemStatus 'B'
    Idle,    // ... 'I'
    Cover,   // ... 'C'
    Fail,    // the read call fails (error code 31)
    Empty,   // 0 bytes
    One,     // 1 byte
    BadSum,  // 100 bytes, checksum + 1
    Length,  // the normal record truncated or zero-padded to `length` bytes
};

struct ScriptedReply {
    ReplyKind kind = ReplyKind::Ok;
    std::size_t length = 0;  // for ReplyKind::Length: 2..1000

    bool operator==(const ScriptedReply&) const = default;
};

inline constexpr std::size_t kMinScriptedLength = 2;
inline constexpr std::size_t kMaxReplyLength = protocol::kMaxStatusReply;
inline constexpr std::uint32_t kMaxBusyPolls = 1000000;

// Spooler steps that fail for every job (or every open).
struct Faults {
    bool open = false;
    bool startDoc = false;
    bool startPage = false;
    bool write = false;
    bool shortWrite = false;  // the spooler takes one byte less than asked
    bool endPage = false;
    bool endDoc = false;

    bool operator==(const Faults&) const = default;
};

// How the spooler in front of the unit gets jobs to it. A real spooler
// queues a job when its document ends and delivers it a moment later, or
// never: the emulated one can do the same.
struct Delivery {
    std::uint32_t delayMs = 0;  // a job reaches the unit this long after its document ends
    bool queuePaused = false;   // the queue takes no job: starting a document fails
    bool unitTakesJobs = true;  // false: jobs stay queued and never reach the unit
    bool operator==(const Delivery&) const = default;
};

inline constexpr std::uint32_t kMaxDeliveryDelayMs = 600000;

// An idle, healthy unit of model 'B', firmware "1.23", LEX 99, pen
// configuration 3, counters and offsets 0, tray in without a disc, picker
// empty; byte 98 holds the record's checksum.
Record DefaultRecord();

struct Scenario {
    std::vector<std::string> queues{"Lumetra PRO"};
    Record record = DefaultRecord();
    std::uint32_t busyPolls = 0;
    std::vector<ScriptedReply> replies;
    Faults faults;
    Delivery delivery;
};

Scenario DefaultScenario();

// Parses a scenario's JSON text into `out`. On any error returns false, sets
// `error` to a one-line message naming the key (or the JSON error) and leaves
// `out` unchanged.
bool ParseScenario(std::string_view json, Scenario& out, std::string& error);

// Reads and parses a scenario file; an unreadable file is an error too. The
// message starts with the path.
bool LoadScenarioFile(const std::string& path, Scenario& out, std::string& error);

}  // namespace orlax::emulator
