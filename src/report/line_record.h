// The production record's second home: a line database that every station
// of a production line writes to. Each record line written to the file also
// becomes a row (record_row.h), kept first in the station's outbox
// (record_outbox.h) and sent from there to the database's server, oldest
// first; a row leaves the outbox only once the server committed it, so a row
// is never lost, and sending one again is harmless (the server keeps the
// first of each record id). A server that is away, slow or refusing only
// leaves rows waiting: sending is bounded in time, and says how it went.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "protocol/status_record.h"
#include "report/record_row.h"

namespace orlax::report {

// How long sending may take after each record, and for an explicit sync.
inline constexpr std::chrono::milliseconds kRecordSendBound{5000};
inline constexpr std::chrono::milliseconds kSyncSendBound{60000};

// The line database's server, as the record needs it.
class RowStore {
public:
    using Deadline = std::chrono::steady_clock::time_point;
    struct Result {
        std::size_t committed = 0;  // how many rows, from the first, the server committed
        std::string failure;        // why not all of them, in words
    };
    virtual ~RowStore() = default;
    // Sends `rows` in order, giving up at `deadline`.
    virtual Result Store(std::span<const RecordRow> rows, Deadline deadline) = 0;
};

// How a send went.
struct SendReport {
    std::size_t sent = 0;     // rows the server committed
    std::size_t waiting = 0;  // rows still in the outbox
    std::string failure;      // what kept rows waiting or a row out of the outbox; empty when nothing did
};

class LineRecord {
public:
    using Facts = std::function<StationFacts()>;
    using Reporter = std::function<void(const SendReport&)>;

    LineRecord(RowStore& store, Facts facts) : store_(store), facts_(std::move(facts)) {}

    // Called after each record with how its rows went.
    void SetReporter(Reporter reporter) { reporter_ = std::move(reporter); }

    // With the record file of `folder` locked, once `line` is in it: its row
    // joins the outbox. false when it could not (reported at the next send).
    bool Keep(const std::string& folder, std::string_view line, const std::tm& at,
              std::span<const std::uint8_t, protocol::kStatusRecordSize> status);

    // After a record, the file unlocked: sends what waits within
    // kRecordSendBound and reports how it went.
    void SendAfterRecord(const std::string& folder);

    // Sends what waits in the outbox of `folder`, oldest first, within
    // `bound`, and takes out what the server committed.
    SendReport Send(const std::string& folder, std::chrono::milliseconds bound);

private:
    RowStore& store_;
    Facts facts_;
    Reporter reporter_;
    std::string keepFailure_;
};

// "record kept on this station: N waiting for the line database".
std::string WaitingNotice(std::size_t waiting);

}  // namespace orlax::report
