// A program's line database: the PostgreSQL server behind the production
// record, with what the station tells of each record (its host name, this
// tool's version, the queue and its device URI).
#pragma once

#include <functional>
#include <string>

#include "linedb/pg_row_store.h"
#include "report/line_record.h"

namespace orlax::linedb {

class LineDatabase {
public:
    // `queue` gives the queue a record is written for; `deviceUri` that
    // queue's device URI (empty when not known).
    LineDatabase(std::string conninfo, std::function<std::string()> queue,
                 std::function<std::string(const std::string& queue)> deviceUri);
    LineDatabase(const LineDatabase&) = delete;
    LineDatabase& operator=(const LineDatabase&) = delete;

    report::LineRecord& Record() { return record_; }

private:
    PgRowStore store_;
    report::LineRecord record_;
};

// The station's host name.
std::string StationName();

}  // namespace orlax::linedb
