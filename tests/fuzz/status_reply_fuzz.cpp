// A status reply of any length and content. GET STATUS takes it as it is:
// only a 100-byte reply with its checksum right is a record; anything else
// is reported, leaves the mirror alone and shows no report. The report of
// whatever the query left must stay within its bounds. The final check gets
// the first 100 bytes as a record with the checksum made right, so that its
// tests run on every field: the unit passes exactly when the tolerances
// (all 0) say so.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "app/burner_dlg.h"
#include "operations/operator_log.h"
#include "protocol/status_record.h"
#include "fuzz_check.h"
#include "fuzz_session.h"
#include "report/status_report.h"

namespace orlax::fuzz {
namespace {

namespace f = protocol::field;
using Record = std::array<std::uint8_t, protocol::kStatusRecordSize>;

constexpr std::string_view kNoStatus = "No status returned !!\r\n";
constexpr std::string_view kReportStart = "ORLAX PRO FIRMWARE VERSION #:";
constexpr std::string_view kWithin = "All offsets and settings are within MANUFACTURING TOLERANCES !!\r\n";
constexpr std::string_view kNotWithin = "Not within MANUFACTURING TOLERANCES !!   PLEASE CORRECT !!\r\n";
constexpr std::string_view kNotOnline = "Printer Not Online or is busy \r\n";
constexpr std::size_t kLongestReport = 861;
constexpr std::uint8_t kFinalCheckPassed = 0x9C;
constexpr std::uint8_t kFinalCheckFailed = 0x05;
constexpr std::uint8_t kClearSpits = 0x02;

bool IsValidRecord(std::span<const std::uint8_t> reply) {
    return reply.size() == protocol::kStatusRecordSize &&
           protocol::StatusChecksum(reply.first<protocol::kStatusRecordSize>()) == reply[f::checksum];
}

void CheckGetStatus(std::span<const std::uint8_t> reply) {
    FuzzSession s(reply, {Click(app::control::kGetStatus)});
    s.Run();
    const bool valid = IsValidRecord(reply);
    const auto& state = s.app.Device();
    FUZZ_CHECK(s.spooler.LeftOpen() == 0, "a queue handle or job was left open");
    FUZZ_CHECK(s.app.Outcome().AnyFailed() == !valid, "the outcome does not follow the reply");
    FUZZ_CHECK(s.Shows(kNoStatus) == !valid, "failure text");
    FUZZ_CHECK(s.Shows(kReportStart) == valid, "the report shows exactly for a record");
    if (reply.size() >= 2) {
        char length[64];
        std::snprintf(length, sizeof length, "Length Received: \t%.2zu\r\n", reply.size());
        FUZZ_CHECK(s.Shows(length) == !valid, "the length line shows the count received");
    }
    FUZZ_CHECK(s.Shows(" $") == (!valid && reply.size() >= 2 && reply.size() <= 1000),
               "a wrong reply is dumped");
    const auto& m = state.mirror;
    if (valid) {
        FUZZ_CHECK(m.pickerSwitch == reply[f::pickerSwitchOffset], "picker switch is unsigned");
        FUZZ_CHECK(m.armHome == static_cast<std::int8_t>(reply[f::armHomeOffset]), "arm home is signed");
        FUZZ_CHECK(m.lexVersion == static_cast<std::int8_t>(reply[f::lexVersion]), "LEX is signed");
        FUZZ_CHECK(state.deviceBusy == (reply[f::systemStatus] == 'B'), "busy flag");
        FUZZ_CHECK(state.trayIn == (reply[f::trayStatus] == 'D' || reply[f::trayStatus] == 'I'), "tray flag");
    } else {
        FUZZ_CHECK(m.verticalOffset == 99 && m.pickerSwitch == 99 && m.armHome == 99 && m.lexVersion == 99,
                   "a failed query changed the mirror");
        FUZZ_CHECK(!state.deviceBusy && !state.trayIn, "a failed query changed the flags");
    }
    // The report of whatever the buffer holds, as TEST BINS may show it.
    FUZZ_CHECK(report::FormatStatusReport(state).size() <= kLongestReport, "report longer than its bound");
    operations::OperatorLog log;
    report::ShowStatusReport(state, log);
    FUZZ_CHECK(log.LogText().size() <= operations::OperatorLog::kCapacity, "log past its capacity");
}

// With every limit 0: low sensor readings 0, every tested offset 0 (the
// lower recorder is not tested), LEX 99, and a firmware text found within
// "Not Set".
bool WithinTolerances(const Record& r) {
    constexpr std::size_t kZeroBytes[] = {
        f::trayInSensorLow,    f::diskInSensorLow, f::imageVertical,  f::imageHorizontal, f::leftBinOffset,
        f::recorderOffset,     f::printerOffset,   f::rightBinOffset, f::hookOffset,      f::trayOutOffset,
        f::pickerSwitchOffset, f::armHomeOffset,   f::lastDiskRight,  f::lastDiskLeft,
    };
    const bool zeros =
        std::all_of(std::begin(kZeroBytes), std::end(kZeroBytes), [&](std::size_t at) { return r[at] == 0; });
    return zeros && r[f::lexVersion] == 99 &&
           std::string_view("Not Set").find(protocol::FirmwareText(r)) != std::string_view::npos;
}

bool IsWellFormedCommand(const std::vector<std::uint8_t>& job) {
    if (job.size() != 8 || job[0] != 0x1B || job[1] != 0x04) return false;
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < 7; ++i) sum = static_cast<std::uint8_t>(sum + job[i]);
    return sum == job[7];
}

void CheckFinalCheck(std::span<const std::uint8_t> bytes) {
    Record record{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), record.size()), record.begin());
    record[f::checksum] = protocol::StatusChecksum(record);
    FuzzSession s(record, {Click(app::control::kFinalCheck)});
    s.Run();
    FUZZ_CHECK(s.spooler.LeftOpen() == 0, "a queue handle or job was left open");
    std::vector<std::uint8_t> commands;
    for (const auto& job : s.spooler.Jobs()) {
        // The factory set-up file cannot be opened here: its job is empty.
        FUZZ_CHECK(job.empty() || IsWellFormedCommand(job), "a job that is no whole command");
        if (!job.empty()) commands.push_back(job[2]);
    }
    const std::uint8_t status = record[f::systemStatus];
    if (status != 'I') {
        FUZZ_CHECK(s.Shows(kNotOnline), "a unit that never reports idle is not online");
        FUZZ_CHECK(!s.Shows(kWithin) && !s.Shows(kNotWithin), "a verdict without the tests");
        FUZZ_CHECK(commands.size() == (status == 'B' ? 0u : 1u), "commands to a unit not idle");
        return;
    }
    const bool pass = WithinTolerances(record);
    FUZZ_CHECK(s.Shows(kWithin) == pass && s.Shows(kNotWithin) == !pass, "verdict");
    // The factory set-up cannot reach a unit here, so a unit within its
    // tolerances is not finished: it is never told that it passed.
    FUZZ_CHECK(!commands.empty() && commands.back() == (pass ? kClearSpits : kFinalCheckFailed),
               "the unit is told its verdict last, and only a finished unit that it passed");
    FUZZ_CHECK(std::find(commands.begin(), commands.end(), kFinalCheckPassed) == commands.end(),
               "an unfinished unit told that it passed");
    FUZZ_CHECK(!s.Shows("File updated"), "a record written where there is no folder");
    FUZZ_CHECK(s.app.Outcome().AnyFailed(), "the record could not be written");
}

}  // namespace
}  // namespace orlax::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> reply(data, size);
    orlax::fuzz::CheckGetStatus(reply);
    orlax::fuzz::CheckFinalCheck(reply);
    return 0;
}
