// One production record line as a row of the line database: the line's 24
// fields typed, the moment as UTC, the station that wrote it, the unit's
// whole status record and the same record as its status JSON. A row is made
// on the station, kept in its outbox as one JSON line and sent from there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "protocol/status_record.h"

namespace orlax::report {

// How a column's value is held and what the database makes of it.
enum class ColumnKind {
    Integer,    // a whole number
    Text,       // text as written
    Uuid,       // the record id: 8-4-4-4-12 lower-case hex digits
    Timestamp,  // a UTC moment: "YYYY-MM-DDTHH:MM:SSZ"
    Bytes,      // lower-case hex digits, two a byte
    Json,       // a JSON object as text
};

struct RowColumn {
    std::string_view name;  // the column's name in the database and the outbox
    ColumnKind kind;
    bool nullable = false;
};

// The row's columns in order: the record id, the 24 fields of the line in
// the line's order, then the moment, the station's facts and the status.
std::span<const RowColumn> RowColumns();
// How many of RowColumns() come from the record line itself.
inline constexpr std::size_t kLineFieldCount = 24;
// Where the line's fields start among RowColumns().
inline constexpr std::size_t kFirstLineColumn = 1;

// A value: none (SQL NULL), a number or a text.
using RowValue = std::optional<std::variant<std::int64_t, std::string>>;

// What the station knows of the record beyond the line and the unit.
struct StationFacts {
    std::string station;      // the host name
    std::string queue;        // the print queue the unit was on
    std::string deviceUri;    // the queue's device URI; empty when not known
    std::string toolVersion;  // this tool's version
};

class RecordRow {
public:
    // One value per column of RowColumns().
    std::vector<RowValue> values;

    const RowValue& Value(std::string_view column) const;
    std::string RecordId() const;
};

// The row of record line `line` (as written, with its "\r\n"), written at
// local time `at` for the unit whose status record is `status`. nullopt when
// the line is not a record line of 24 fields.
std::optional<RecordRow> RowOfLine(std::string_view line, const std::tm& at,
                                   std::span<const std::uint8_t, protocol::kStatusRecordSize> status,
                                   const StationFacts& facts, std::string_view recordId);

// The row as one line of the outbox (JSON, no line end).
std::string OutboxLine(const RecordRow& row);
// The row an outbox line holds; nullopt with `error` set when it holds none.
std::optional<RecordRow> RowOfOutboxLine(std::string_view line, std::string& error);

// The seconds since 1970 (UTC) of a local calendar time that carries its
// offset from UTC (tm_gmtoff), as localtime_r gives it.
std::int64_t UtcSecondsOf(const std::tm& local);
// "YYYY-MM-DDTHH:MM:SSZ".
std::string UtcTimeText(std::int64_t seconds);

}  // namespace orlax::report
