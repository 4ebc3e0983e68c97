// The production record: one comma-separated line per unit that passes the
// final check, appended to ORLAXPRO.log in the device data folder and never
// read back.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "report/record_file.h"

namespace orlax::device {
struct DeviceState;
class LogPort;
}

namespace orlax::report {

class LineRecord;

inline constexpr std::string_view kProductionRecordFileName = "ORLAXPRO.log";

// The local calendar time, as the record's time and date show it.
using LocalTimeSource = std::function<std::tm()>;
std::tm SystemLocalTime();

class ProductionRecord {
public:
    explicit ProductionRecord(LocalTimeSource localTime = SystemLocalTime)
        : localTime_(std::move(localTime)) {}

    // Fills recordTime ("HH:MM") and recordDate ("MM\DD\YYYY") from the local
    // time. Returns 1.
    int FormatRecordTime();

    // Appends the record of the unit in `state` to `folder` + ORLAXPRO.log,
    // numbered with recordCounter, and logs the outcome. Returns 1 when the
    // whole line reached the disk; the counter then moves on. Returns 0, with
    // the counter unchanged, when the file could not be opened (not a regular
    // file, or locked by another program for longer than kRecordLockWait) or
    // the line not written, flushed and closed.
    int WriteProductionRecord(const std::string& folder, const device::DeviceState& state,
                              device::LogPort& log);

    // The clock behind the record's time and date (tests fix it).
    void SetLocalTimeSource(LocalTimeSource localTime) { localTime_ = std::move(localTime); }

    // The line database that also receives every record line written; none
    // (the default): the file alone.
    void SetLineRecord(LineRecord* lineRecord) { lineRecord_ = lineRecord; }

    // The running number of the next record: 1 at every start of the tool.
    std::int32_t recordCounter = 1;
    // The time and date of the last record, kept until the next one.
    std::array<char, 24> recordTime{};
    std::array<char, 40> recordDate{};

private:
    LocalTimeSource localTime_;
    std::tm recordTm_{};
    LineRecord* lineRecord_ = nullptr;
};

}  // namespace orlax::report
