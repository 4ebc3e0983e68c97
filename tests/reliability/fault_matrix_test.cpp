// Every operation of the main window and both dialogs, run once without a
// fault and then again with exactly one spooler call failing: each kind of
// call, at its first, its second and each later place in the operation.
// What a fault must do follows from what the failed call was for in the
// fault-free run (a status query the operation made, the query that clears
// a command, a command job, a device file job): the texts the operation
// shows for it, the jobs the unit then receives, the production record and
// the exit status. Nothing may stay open, whatever failed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/burner_dlg.h"
#include "dialogs/disk_position_dlg.h"
#include "dialogs/set_offsets_controls.h"
#include "operations/final_check.h"
#include "protocol/command_packet.h"
#include "reliability/traced_session.h"
#include "platform/spooler_errors.h"
#include "support/data_root.h"
#include "support/passing_unit.h"
#include "support/session.h"

namespace orlax::reliability {
namespace {

using Job = emulator::EmulatedSpooler::Job;
using testing::Click;
using testing::Type;
namespace ctl = app::control;
namespace so = dialogs::set_offsets;
namespace dp = dialogs::disk_position;

constexpr std::string_view kOpenError = "Printer Open Error !!\r\n";
constexpr std::string_view kBadWrite = "Bad Write To Printer !! \r\n";
constexpr std::string_view kNotOnline = "Printer Not Online or is busy \r\n";
constexpr std::string_view kNotWithin = "Not within MANUFACTURING TOLERANCES !!   PLEASE CORRECT !!\r\n";
constexpr std::string_view kWithin = "All offsets and settings are within MANUFACTURING TOLERANCES !!\r\n";
constexpr std::string_view kFileUpdated = "    File updated !! \r\n";
constexpr std::string_view kReportStart = "ORLAX PRO FIRMWARE VERSION #:";
constexpr std::string_view kNotFinished = "UNIT NOT FINISHED: a command or file did not reach it.";
constexpr std::string_view kRecordStands =
    "RECORD LINE STANDS: the unit passed its tolerances. UNIT NOT FINISHED: it was not told it passed. "
    "Run FINAL CHECK again !!\r\n";
constexpr std::string_view kSendingLine = " sending to printer !!\r\n";
// Why a send did not go out, as its line in the log says.
constexpr std::string_view kSpoolerFailed = "the unit or its spooler failed the call";
constexpr std::string_view kShortWrite = "the spooler took fewer bytes than it was given";
const std::vector<std::uint8_t> kFinalCheckFailed{0x1B, 0x04, 0x05, 0, 0, 0, 0, 0x24};

// The device files: a file of several blocks, one of exactly one block, an
// empty one (a single empty write) and two of less than a block.
const std::vector<std::pair<std::string, std::size_t>> kDeviceFiles{
    {"firm.bin", 2500},     {"MarlithPro.Lod", 1000}, {"fupdate.fzp", 0},
    {"fdefault.fzp", 1500}, {"orlax.prn", 999},
};

// What the operation does when one of its own status reads (not the read
// that clears a command) cannot open the queue.
struct ReadEffect {
    enum Kind {
        Fails,     // shows `text`, sends no more than the first `jobsKept` jobs
        Recovers,  // the next read (or the next step) goes on as without the fault
        Rejects,   // the final check's first read: the unit is failed
    } kind;
    std::string_view text = {};
    std::size_t jobsKept = 0;
    bool usageError = false;  // the rest of the script cannot be applied
};
constexpr ReadEffect Fails(std::string_view text, std::size_t jobsKept) {
    return {ReadEffect::Fails, text, jobsKept};
}
// A dialog that does not open: the actions meant for it reach the main
// window, which does not have their controls, and orlaxctl ends with a
// usage error.
constexpr ReadEffect kGateFails{ReadEffect::Fails, kNotOnline, 0, true};
constexpr ReadEffect kRecovers{ReadEffect::Recovers};
constexpr ReadEffect kRejects{ReadEffect::Rejects};
// A mechanism sequence's status read: its result is not looked at.
constexpr ReadEffect kIgnored = kRecovers;

enum class Unit { Default, Passing };

struct Operation {
    const char* name;
    Unit unit;
    headless::Script script;
    bool cleanFails;                       // the fault-free run's outcome
    std::vector<ReadEffect> reads;         // the operation's own status reads, in order
    std::vector<std::string_view> claims;  // shown exactly when the operation did not fail
    bool writesRecord = false;             // a fault-free run appends a production record
    // The log shows what the commands left in the unit (the report, the
    // disc-switch line): a fault that drops a command or a read changes it.
    bool reportsUnitState = false;
};

// clang-format off
std::vector<Operation> Operations() {
    const std::vector<ReadEffect> finalCheckReads{kRejects, kRecovers, Fails(kNotOnline, 1)};
    return {
        {"GET STATUS", Unit::Default, {Click(ctl::kGetStatus)}, false,
         {Fails("No status returned !!\r\n", 0)}, {kReportStart}},
        {"STARTUP", Unit::Default, {Click(ctl::kStartup)}, false, {}, {}},
        {"FIRMWARE UPDATE", Unit::Default, {Click(ctl::kFirmwareUpdate)}, false, {}, {}},
        {"SEND TEST FILE", Unit::Default, {Click(ctl::kSendTestFile)}, false, {},
         {"File sent ok! to printer \r\n"}},
        {"SET FACTORY DEFAULTS", Unit::Default, {Click(ctl::kSetFactoryDefaults)}, false, {}, {}},
        {"CLEAR SPITS", Unit::Default, {Click(ctl::kClearSpits)}, false, {}, {}},
        {"CALIBRATE LAST DISK", Unit::Default, {Click(ctl::kCalibrateLastDisk)}, false, {}, {}},
        {"RESTORE FACTORY", Unit::Default, {Click(ctl::kRestoreFactory)}, false, {}, {}},
        {"TEST BINS", Unit::Default, {Click(ctl::kTestBins)}, false, {kRecovers}, {}, false, true},
        {"FINAL CHECK, passing unit", Unit::Passing, {Click(ctl::kFinalCheck)}, false, finalCheckReads,
         {}, true},
        {"FINAL CHECK, failing unit", Unit::Default, {Click(ctl::kFinalCheck)}, true, finalCheckReads,
         {}},
        {"DISK POSITION, OK", Unit::Default,
         {Click(ctl::kDiskPosition), Type(dp::kVertical, "5"), Type(dp::kHorizontal, "-3"), Click(1)},
         false, {kGateFails}, {}},
        // A plain field, every button, the disc-switch and arm-home fields,
        // then Cancel (which takes the focus from the arm-home field).
        {"SET OFFSETS", Unit::Default,
         {Click(ctl::kSetOffsets), Type(so::kLeftBin, "5"), Click(so::kMoveLeftBin),
          Click(so::kMoveRecorderUpper), Click(so::kMoveRecorderLower), Click(so::kMovePrinter),
          Click(so::kMoveRightBin), Click(so::kMoveHook), Click(so::kPick), Click(so::kTestTray),
          Type(so::kPickerSwitch, "200"), Type(so::kArmHome, "-3"), Click(2)},
         false, {kGateFails, kIgnored, kIgnored, kIgnored, kIgnored, kIgnored, kIgnored}, {}, false, true},
    };
}
// clang-format on

constexpr SpoolerCall kCallKinds[] = {
    SpoolerCall::Open,       SpoolerCall::SetData,   SpoolerCall::GetData,
    SpoolerCall::StartDoc,   SpoolerCall::StartPage, SpoolerCall::Write,
    SpoolerCall::ShortWrite, SpoolerCall::EndPage,   SpoolerCall::EndDoc,
    SpoolerCall::WaitJob,
};

const char* CallName(SpoolerCall kind) {
    constexpr const char* kNames[] = {"open",           "printer-data write", "printer-data read",
                                      "start document", "start page",         "write",
                                      "short write",    "end page",           "end document",
                                      "wait for the job"};
    return kNames[static_cast<std::size_t>(kind)];
}

std::size_t Occurrences(std::string_view text, std::string_view part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::string Without(std::string text, std::string_view part) {
    for (std::size_t at; (at = text.find(part)) != std::string::npos;) text.erase(at, part.size());
    return text;
}

// True when `text` is `base` with `inserted` put in at one place.
bool IsWithInsertion(const std::string& text, const std::string& base, std::string_view inserted) {
    if (inserted.empty()) return text == base;
    if (text.size() != base.size() + inserted.size()) return false;
    for (std::size_t at = text.find(inserted); at != std::string::npos; at = text.find(inserted, at + 1))
        if (text.compare(0, at, base, 0, at) == 0 &&
            text.compare(at + inserted.size(), std::string::npos, base, at) == 0)
            return true;
    return false;
}

// What one faulted run must show, compared with the fault-free run.
struct Expected {
    bool failed = false;
    std::vector<Job> jobs;
    std::string inserted;  // the one text the fault adds
    std::vector<std::string_view> present;
    std::vector<std::string_view> absent;
    bool exactTranscript = true;  // the rest of the log is as without the fault
    bool recordWritten = false;
    bool usageError = false;

    int ExitStatus() const { return usageError ? 2 : failed ? 1 : 0; }
};

std::vector<Job> FirstJobs(const std::vector<Job>& jobs, std::size_t count) {
    return {jobs.begin(), jobs.begin() + static_cast<std::ptrdiff_t>(std::min(count, jobs.size()))};
}

// What the unit receives of a job when the call failed: a job that was
// started is always ended, so it receives what was written before the fault.
std::vector<Job> JobsAfterJobFault(std::vector<Job> jobs, std::size_t index, SpoolerCall kind,
                                   const TracedCall& call) {
    Job& job = jobs.at(index);
    switch (kind) {
        case SpoolerCall::Open:
        case SpoolerCall::StartDoc:
        case SpoolerCall::EndDoc: jobs.erase(jobs.begin() + static_cast<std::ptrdiff_t>(index)); break;
        case SpoolerCall::StartPage: job.bytes.clear(); break;
        case SpoolerCall::Write: job.bytes.resize(call.offset); break;
        case SpoolerCall::ShortWrite: job.bytes.resize(call.offset + call.size - 1); break;
        default: break;  // EndPage: the job is ended all the same
    }
    return jobs;
}

// A final check whose job `jobIndex` did not reach the unit, before the last
// one (FinalCheckPassed, after the record): the unit is not finished, so no
// record is written and the unit is not told that it passed.
void UnitNotFinished(Expected& e, const RunResult& clean, std::size_t jobIndex) {
    if (!e.recordWritten || jobIndex + 1 >= clean.jobs.size()) return;
    e.recordWritten = false;
    e.jobs.pop_back();
    e.exactTranscript = false;
    e.inserted = {};
    e.present.push_back(kNotFinished);
    e.absent.push_back(kFileUpdated);
}

std::string NotSent(std::string_view what, std::string_view why) {
    return std::string(what) + " NOT SENT: " + std::string(why) + " !!\r\n";
}

// A job of the fault-free run as its not-sent line names it: a command by
// its name, a device file by the path its sending line showed.
std::string JobName(const RunResult& clean, const std::vector<HandleUse>& uses, std::size_t jobIndex) {
    const auto& bytes = clean.jobs.at(jobIndex).bytes;
    std::size_t filesBefore = 0;
    for (const HandleUse& u : uses) {
        if (u.kind == UseKind::StatusQuery || u.jobIndex != jobIndex) {
            filesBefore += u.kind == UseKind::FileJob && u.jobIndex < jobIndex;
            continue;
        }
        if (u.kind == UseKind::CommandJob) return "Command " + std::string(protocol::CommandName(bytes.at(2)));
    }
    std::size_t at = clean.transcript.find(kSendingLine);
    for (; filesBefore > 0; --filesBefore) at = clean.transcript.find(kSendingLine, at + 1);
    const std::size_t start = clean.transcript.rfind("\r\n", at) + 2;
    return "File " + clean.transcript.substr(start, at - start);
}

// The passing final check's last job, FinalCheckPassed, after its record line.
bool IsLastOfPassingCheck(const Operation& op, const RunResult& clean, std::size_t jobIndex) {
    return op.writesRecord && jobIndex + 1 == clean.jobs.size();
}

Expected Expect(const Operation& op, const RunResult& clean, SpoolerCall kind, const TracedCall& call) {
    Expected e;
    e.failed = clean.failed;
    e.jobs = clean.jobs;
    e.recordWritten = op.writesRecord;
    const auto uses = Uses(clean.calls, clean.jobs);
    const auto use =
        std::find_if(uses.begin(), uses.end(), [&](const HandleUse& u) { return u.handle == call.handle; });
    const bool emptyWrite = kind == SpoolerCall::ShortWrite && call.size == 0;
    if (kind == SpoolerCall::SetData || emptyWrite) return e;  // nothing the tool relies on
    if (kind == SpoolerCall::GetData) {                        // a dot, and the query retries
        e.inserted = ".";
        return e;
    }
    if (use->kind != UseKind::StatusQuery) {
        e.failed = true;
        e.jobs = JobsAfterJobFault(clean.jobs, use->jobIndex, kind, call);
        if (use->kind == UseKind::FileJob && (kind == SpoolerCall::Write || kind == SpoolerCall::ShortWrite))
            e.inserted = kBadWrite;
        e.inserted += NotSent(JobName(clean, uses, use->jobIndex),
                              kind == SpoolerCall::ShortWrite ? kShortWrite : kSpoolerFailed);
        if (IsLastOfPassingCheck(op, clean, use->jobIndex)) e.inserted += kRecordStands;
        e.absent = op.claims;
        e.exactTranscript = !op.reportsUnitState;
        UnitNotFinished(e, clean, use->jobIndex);
        return e;
    }
    // The queue of a status query could not be opened.
    e.inserted = kOpenError;
    if (use->guardsCommand) {  // the command is not sent
        // The queue's refusal names the spooler's reason.
        e.inserted += NotSent(JobName(clean, uses, (use + 1)->jobIndex), kSpoolerFailed);
        if (IsLastOfPassingCheck(op, clean, (use + 1)->jobIndex)) e.inserted += kRecordStands;
        e.failed = true;
        e.jobs = JobsAfterJobFault(clean.jobs, (use + 1)->jobIndex, SpoolerCall::Open, call);
        e.absent = op.claims;
        e.exactTranscript = !op.reportsUnitState;
        UnitNotFinished(e, clean, (use + 1)->jobIndex);
        return e;
    }
    std::size_t ordinal = 0;
    for (auto u = uses.begin(); u != use; ++u)
        ordinal += u->kind == UseKind::StatusQuery && !u->guardsCommand;
    const ReadEffect effect = op.reads.at(ordinal);
    if (effect.kind == ReadEffect::Recovers) return e;
    e.failed = true;
    e.exactTranscript = false;
    e.recordWritten = false;
    e.present = {kOpenError};
    e.absent = op.claims;
    e.absent.insert(e.absent.end(), {kWithin, kFileUpdated});
    if (effect.kind == ReadEffect::Fails) {
        e.usageError = effect.usageError;
        e.present.push_back(effect.text);
        e.jobs = FirstJobs(clean.jobs, effect.jobsKept);
    } else {
        e.present.push_back(kNotWithin);
        e.jobs = FirstJobs(clean.jobs, 1);
        e.jobs.push_back({clean.jobs.at(0).docName, clean.jobs.at(0).dataType, kFinalCheckFailed});
    }
    return e;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    char part[4];
    for (const std::uint8_t b : bytes) {
        std::snprintf(part, sizeof part, "%02X", b);
        text += part;
    }
    return bytes.size() <= 16 ? text : std::to_string(bytes.size()) + " bytes";
}

std::string Describe(const std::vector<Job>& jobs) {
    std::string text;
    for (const Job& job : jobs) text += Hex(job.bytes) + " ";
    return text;
}

std::size_t RecordLines(const testing::TempDataRoot& data) {
    return Occurrences(data.Read("ORLAXPRO.log"), "\r\n");
}

emulator::Scenario ScenarioOf(const Operation& op) {
    return op.unit == Unit::Passing ? testing::PassingScenario() : emulator::DefaultScenario();
}

bool IsPrefix(const std::vector<std::uint8_t>& part, const std::vector<std::uint8_t>& whole) {
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

TEST(FaultMatrix, EveryOperationUnderEverySingleSpoolerFault) {
    testing::TempDataRoot data;
    for (const auto& [name, size] : kDeviceFiles) data.Put(name, testing::PatternBytes(size));
    std::size_t cases = 0;
    for (const Operation& op : Operations()) {
        const emulator::Scenario scenario = ScenarioOf(op);
        std::size_t lines = RecordLines(data);
        const RunResult clean = RunTraced(scenario, data.Root(), op.script);
        ASSERT_EQ(clean.failed, op.cleanFails) << op.name << "\n" << clean.transcript;
        ASSERT_FALSE(clean.usageError) << op.name;
        ASSERT_EQ(clean.openHandles + clean.openJobs, 0u) << op.name;
        ASSERT_EQ(RecordLines(data) - lines, op.writesRecord ? 1u : 0u) << op.name;
        const auto uses = Uses(clean.calls, clean.jobs);
        ASSERT_EQ(std::count_if(
                      uses.begin(), uses.end(),
                      [](const HandleUse& u) { return u.kind == UseKind::StatusQuery && !u.guardsCommand; }),
                  static_cast<std::ptrdiff_t>(op.reads.size()))
            << op.name << ": the operation's own status reads";

        // Every place of the failing call: the first, the second and each later one.
        for (const SpoolerCall kind : kCallKinds) {
            for (std::size_t nth = 1; nth <= CountOf(clean.calls, kind); ++nth) {
                const std::string what =
                    std::string(op.name) + ", " + CallName(kind) + " #" + std::to_string(nth);
                const TracedCall call = *NthCall(clean.calls, kind, nth);
                const Expected e = Expect(op, clean, kind, call);
                lines = RecordLines(data);
                const RunResult run = RunTraced(scenario, data.Root(), op.script, Fault{kind, nth});
                ++cases;

                EXPECT_EQ(run.openHandles, 0u) << what;
                EXPECT_EQ(run.openJobs, 0u) << what;
                EXPECT_EQ(run.failed, e.failed) << what << "\n" << run.transcript;
                EXPECT_EQ(run.ExitStatus(), e.ExitStatus()) << what;
                EXPECT_EQ(run.messageBoxes, clean.messageBoxes) << what;
                EXPECT_EQ(Describe(run.jobs), Describe(e.jobs)) << what;
                EXPECT_TRUE(run.jobs.size() == e.jobs.size() &&
                            std::equal(run.jobs.begin(), run.jobs.end(), e.jobs.begin(),
                                       [](const Job& a, const Job& b) { return a.bytes == b.bytes; }))
                    << what;
                if (e.exactTranscript) {
                    std::string base = clean.transcript;
                    for (const std::string_view claim : e.absent) base = Without(base, claim);
                    EXPECT_TRUE(IsWithInsertion(run.transcript, base, e.inserted))
                        << what << "\n--- with the fault:\n"
                        << run.transcript << "\n--- without:\n"
                        << base;
                } else if (!e.inserted.empty()) {
                    EXPECT_NE(run.transcript.find(e.inserted), std::string::npos) << what;
                }
                for (const std::string_view text : e.present)
                    EXPECT_NE(run.transcript.find(text), std::string::npos) << what << ": " << text;
                for (const std::string_view text : e.absent)
                    EXPECT_EQ(run.transcript.find(text), std::string::npos) << what << ": " << text;
                const std::size_t written = RecordLines(data) - lines;
                EXPECT_EQ(written, e.recordWritten ? 1u : 0u) << what;
                EXPECT_EQ(Occurrences(run.transcript, kFileUpdated), written) << what;
            }
        }
    }
    std::printf("fault matrix: %zu cases run\n", cases);
    ::testing::Test::RecordProperty("cases", static_cast<int>(cases));
}

// One step that fails for every job (or every queue open), as a scenario
// file asks for it: whatever the operation, every job it started is ended,
// it fails when it had anything to send, it claims nothing it did not do,
// and the unit receives no more of any job than without the fault.
TEST(FaultMatrix, EveryOperationWhenOneStepFailsForEveryJob) {
    using F = emulator::Faults;
    const std::pair<const char*, F> kScenarioFaults[] = {
        {"open", {.open = true}},           {"start document", {.startDoc = true}},
        {"start page", {.startPage = true}}, {"write", {.write = true}},
        {"short write", {.shortWrite = true}}, {"end page", {.endPage = true}},
        {"end document", {.endDoc = true}},
    };
    testing::TempDataRoot data;
    for (const auto& [name, size] : kDeviceFiles) data.Put(name, testing::PatternBytes(size));
    std::size_t cases = 0;
    for (const Operation& op : Operations()) {
        const RunResult clean = RunTraced(ScenarioOf(op), data.Root(), op.script);
        for (const auto& [faultName, faults] : kScenarioFaults) {
            const std::string what = std::string(op.name) + ", every " + faultName + " fails";
            emulator::Scenario scenario = ScenarioOf(op);
            scenario.faults = faults;
            const std::size_t lines = RecordLines(data);
            const RunResult run = RunTraced(scenario, data.Root(), op.script);
            ++cases;

            EXPECT_EQ(run.openHandles + run.openJobs, 0u) << what;
            EXPECT_EQ(run.failed, faults.open || op.cleanFails || !clean.jobs.empty()) << what;
            const bool dialogClosed = faults.open && !op.reads.empty() && op.reads.front().usageError;
            EXPECT_EQ(run.usageError, dialogClosed) << what;
            for (const std::string_view claim : op.claims)
                EXPECT_TRUE(!run.failed || run.transcript.find(claim) == std::string::npos) << what << ": " << claim;
            // Every job fails, and a final check whose jobs failed writes no record.
            const std::size_t written = RecordLines(data) - lines;
            EXPECT_EQ(written, 0u) << what;
            EXPECT_EQ(Occurrences(run.transcript, kFileUpdated), written) << what;
            if (faults.open || faults.startDoc || faults.endDoc) {
                EXPECT_TRUE(run.jobs.empty()) << what << ": " << Describe(run.jobs);
                continue;
            }
            // The passing final check's last job, FinalCheckPassed, is not sent.
            ASSERT_EQ(run.jobs.size(), clean.jobs.size() - (op.writesRecord ? 1 : 0)) << what;
            for (std::size_t i = 0; i < run.jobs.size(); ++i)
                EXPECT_TRUE(faults.endPage ? run.jobs[i].bytes == clean.jobs[i].bytes
                                           : IsPrefix(run.jobs[i].bytes, clean.jobs[i].bytes))
                    << what << ": job " << i;
        }
    }
    std::printf("fault matrix, a step failing for every job: %zu cases run\n", cases);
}

// A unit that is gone: every status read fails and spends its whole budget
// retrying. Every operation ends within its bounded waits, whatever each read
// costs; FINAL CHECK within its idle wait, the pause before it and a few
// status budgets (no tests, no verdict, no command), with the run of
// identical failures shown three times and counted.
TEST(FaultMatrix, EveryOperationOnAUnitThatIsGone) {
    testing::TempDataRoot data;
    for (const auto& [name, size] : kDeviceFiles) data.Put(name, testing::PatternBytes(size));
    constexpr std::uint32_t kFewBudgets = 4 * (device::kStatusTimeBudgetMs + 100);
    constexpr std::uint32_t kFinalCheckBound = 2000 + operations::kFinalCheckIdleWaitMs + 500 + kFewBudgets;
    for (const Operation& op : Operations()) {
        emulator::Scenario scenario = ScenarioOf(op);
        const RunResult clean = RunTraced(scenario, data.Root(), op.script);
        scenario.replies.assign(200000, {emulator::ReplyKind::Fail});
        const RunResult run = RunTraced(scenario, data.Root(), op.script);
        const bool finalCheck = std::string_view(op.name).starts_with("FINAL CHECK");
        EXPECT_EQ(run.openHandles + run.openJobs, 0u) << op.name;
        const auto uses = Uses(clean.calls, clean.jobs);
        const bool readsStatus = std::any_of(uses.begin(), uses.end(),
                                             [](const HandleUse& u) { return u.kind == UseKind::StatusQuery; });
        EXPECT_EQ(run.failed, readsStatus) << op.name;
        EXPECT_LE(run.tookMs, kFinalCheckBound) << op.name;
        EXPECT_EQ(Occurrences(run.transcript, kFileUpdated), 0u) << op.name;
        if (!finalCheck) continue;
        EXPECT_GE(run.tookMs, 2000 + operations::kFinalCheckIdleWaitMs) << op.name;
        EXPECT_TRUE(run.transcript.ends_with(kNotOnline)) << op.name;
        EXPECT_TRUE(run.jobs.empty()) << op.name;
        EXPECT_EQ(run.transcript.find("Tray in"), std::string::npos) << op.name;
        // The firmware read, the start command's read, three of the wait's.
        EXPECT_EQ(Occurrences(run.transcript, "No Status Data Returned"), 2u + 3u) << op.name;
        EXPECT_NE(run.transcript.find(" more times !!\r\n"), std::string::npos) << op.name;
    }
}

// A unit lost in the middle of an operation, during one of its pauses: every
// send that then fails has its own line right after what it tried, and the
// operation goes on or stops as it would for any failed send. A passing
// unit lost during the pause before FinalCheckPassed keeps its record line,
// and the log says it is not finished.
TEST(FaultMatrix, UnitLostDuringAPause) {
    using Spooler = emulator::EmulatedUnitSpooler;
    const auto pauseQueue = [](Spooler& s) { s.Emulated().SetDelivery({.queuePaused = true}); };
    const auto takeNoJob = [](Spooler& s) { s.Emulated().SetDelivery({.unitTakesJobs = false}); };
    const auto gone = [](Spooler& s) {
        for (std::size_t n = 1; n <= 10; ++n) s.FailNthCall(SpoolerCall::Open, s.Calls(SpoolerCall::Open) + n);
    };
    constexpr std::string_view kPaused = platform::SpoolerErrorText(platform::kErrorQueuePaused);
    constexpr std::string_view kNotCompleted = platform::SpoolerErrorText(platform::kErrorJobNotCompleted);
    const struct {
        const char* what;
        int button;
        std::uint32_t pauseMs;  // the unit is lost at the first pause this long
        std::function<void(Spooler&)> lose;
        std::vector<std::string> notSent;  // a command's name, or "@" and a device file's name
        std::string_view why;
    } cases[] = {
        {"FINAL CHECK, queue paused", ctl::kFinalCheck, 30000, pauseQueue, {"FinalCheckPassed"}, kPaused},
        {"FINAL CHECK, unit takes no job", ctl::kFinalCheck, 30000, takeNoJob, {"FinalCheckPassed"}, kNotCompleted},
        {"FINAL CHECK, unit gone", ctl::kFinalCheck, 30000, gone, {"FinalCheckPassed"}, kSpoolerFailed},
        {"STARTUP, unit takes no job after the first file", ctl::kStartup, 2000, takeNoJob,
         {"@MarlithPro.Lod", "@fupdate.fzp"}, kNotCompleted},
    };
    testing::TempDataRoot data;
    for (const auto& [name, size] : kDeviceFiles) data.Put(name, testing::PatternBytes(size));
    for (const auto& c : cases) {
        const bool check = c.button == ctl::kFinalCheck;
        const emulator::Scenario scenario = check ? testing::PassingScenario() : emulator::DefaultScenario();
        const RunResult clean = RunTraced(scenario, data.Root(), {Click(c.button)});
        bool lost = false;
        const std::size_t lines = RecordLines(data);
        const RunResult run = RunTraced(scenario, data.Root(), {Click(c.button)}, std::nullopt,
                                        [&](std::uint32_t ms, Spooler& spooler) {
                                            if (!lost && ms == c.pauseMs) c.lose(spooler);
                                            lost = lost || ms == c.pauseMs;
                                        });
        EXPECT_TRUE(run.failed) << c.what;
        EXPECT_EQ(run.openHandles + run.openJobs, 0u) << c.what;
        EXPECT_EQ(run.jobs.size(), clean.jobs.size() - c.notSent.size()) << c.what;
        for (const std::string& sent : c.notSent) {  // each line right where its send failed
            const std::string path = data.PathOf(sent.substr(1));
            const std::string line = sent.starts_with('@') ? path + std::string(kSendingLine) + NotSent("File " + path, c.why)
                                                           : NotSent("Command " + sent, c.why);
            EXPECT_NE(run.transcript.find(line), std::string::npos) << c.what << "\n" << run.transcript;
        }
        // A passing unit keeps its record line, and the log says it is not finished.
        EXPECT_EQ(RecordLines(data) - lines, check ? 1u : 0u) << c.what;
        EXPECT_EQ(run.transcript.ends_with(kRecordStands), check) << c.what;
    }
}

}  // namespace
}  // namespace orlax::reliability
