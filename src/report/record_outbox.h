// The station's outbox: the rows of the line database not yet committed by
// its server, one JSON line each, oldest first, in ORLAXPRO.outbox beside
// the record file. Only its owner may read it (0600). Lines are added and
// taken out only under the record file's lock; a line is on disk before
// Append returns, and taking lines out never loses the others, whenever the
// station stops (a whole new file replaces the old one).
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace orlax::report {

inline constexpr std::string_view kRecordOutboxFileName = "ORLAXPRO.outbox";

class RecordOutbox {
public:
    // The outbox of the data folder `folder` (with its trailing slash).
    explicit RecordOutbox(const std::string& folder);

    const std::string& Path() const { return path_; }

    // Adds one line. false with `error` set when it did not reach the disk
    // whole; then it is not there at all.
    bool Append(std::string_view line, std::string& error);

    // The whole lines waiting, oldest first (none when there is no outbox).
    // false with `error` set when the outbox cannot be read.
    bool Load(std::vector<std::string>& lines, std::string& error) const;

    // Takes out the lines of the rows whose ids are in `ids`; the rest stay
    // in their order. No outbox is left when nothing stays.
    bool Remove(const std::set<std::string>& ids, std::string& error);

private:
    std::string folder_;
    std::string path_;
};

}  // namespace orlax::report
