// The line database on a PostgreSQL server: each Store connects, makes or
// upgrades the schema when it is older than ours, inserts the rows in
// batches (each batch its own transaction; a row already there is left as
// it is) and disconnects.
#pragma once

#include <string>

#include "report/line_record.h"

namespace orlax::linedb {

// Rows per INSERT: one transaction each.
inline constexpr std::size_t kRowsPerBatch = 100;

class PgRowStore final : public report::RowStore {
public:
    explicit PgRowStore(std::string conninfo) : conninfo_(std::move(conninfo)) {}

    Result Store(std::span<const report::RecordRow> rows, Deadline deadline) override;

private:
    std::string conninfo_;
};

}  // namespace orlax::linedb
