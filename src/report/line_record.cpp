#include "report/line_record.h"

#include <set>
#include <vector>

#include "report/production_record.h"
#include "report/record_file.h"
#include "report/record_id.h"
#include "report/record_outbox.h"

namespace orlax::report {
namespace {

// The rows of the outbox's lines; a line that holds none stays in the outbox
// (counted as waiting) and is named in `failure`.
std::vector<RecordRow> RowsOf(const std::vector<std::string>& lines, const std::string& path,
                              std::string& failure) {
    std::vector<RecordRow> rows;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string why;
        if (auto row = RowOfOutboxLine(lines[i], why)) {
            rows.push_back(std::move(*row));
        } else if (failure.empty()) {
            failure = path + " line " + std::to_string(i + 1) + " is not a row (" + why + "); it stays there";
        }
    }
    return rows;
}

void Join(std::string& failure, const std::string& more) {
    if (more.empty()) return;
    failure += (failure.empty() ? "" : "; ") + more;
}

}  // namespace

bool LineRecord::Keep(const std::string& folder, std::string_view line, const std::tm& at,
                      std::span<const std::uint8_t, protocol::kStatusRecordSize> status) {
    const auto id = NewRecordId();
    const auto row = id ? RowOfLine(line, at, status, facts_(), *id) : std::nullopt;
    if (!row) {
        keepFailure_ = id ? "the record line has not the 24 fields of a row" : "no random source for the record id";
        return false;
    }
    std::string error;
    if (!RecordOutbox(folder).Append(OutboxLine(*row), error)) {
        keepFailure_ = "the row of the record was not kept: " + error;
        return false;
    }
    return true;
}

void LineRecord::SendAfterRecord(const std::string& folder) {
    SendReport report = Send(folder, kRecordSendBound);
    std::string failure = std::exchange(keepFailure_, std::string());
    Join(failure, report.failure);
    report.failure = std::move(failure);
    if (reporter_) reporter_(report);
}

SendReport LineRecord::Send(const std::string& folder, std::chrono::milliseconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    RecordOutbox outbox(folder);
    SendReport report;
    std::vector<std::string> lines;
    if (!outbox.Load(lines, report.failure)) return report;
    const std::vector<RecordRow> rows = RowsOf(lines, outbox.Path(), report.failure);
    report.waiting = lines.size();
    if (rows.empty()) return report;

    const RowStore::Result stored = store_.Store(rows, deadline);
    Join(report.failure, stored.failure);
    if (stored.committed == 0) return report;
    std::set<std::string> committed;
    for (std::size_t i = 0; i < stored.committed && i < rows.size(); ++i) committed.insert(rows[i].RecordId());

    // Out of the outbox under the record file's lock; a row that stays in by
    // a failure here is only sent again, which is harmless.
    std::string error;
    util::UniqueFd file = OpenRecordFile(folder + std::string(kProductionRecordFileName));
    if (!file || !LockRecordFile(file.Get())) {
        Join(report.failure, "the record file could not be locked to take sent rows out of the outbox");
    } else if (!outbox.Remove(committed, error)) {
        Join(report.failure, error);
    } else {
        report.sent = committed.size();
    }
    file.Close();
    std::vector<std::string> left;
    std::string ignored;
    report.waiting = outbox.Load(left, ignored) ? left.size() : lines.size() - report.sent;
    return report;
}

std::string WaitingNotice(std::size_t waiting) {
    return "record kept on this station: " + std::to_string(waiting) + " waiting for the line database";
}

}  // namespace orlax::report
