// FINAL CHECK clicked through the headless host against the emulated unit:
// the log, the commands in order, the pauses, the verdict and the record.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/burner_dlg.h"
#include "support/data_root.h"
#include "support/packet_hex.h"
#include "support/passing_unit.h"
#include "support/recording_progress.h"
#include "support/record_builder.h"
#include "support/session.h"

namespace orlax::operations {
namespace {

namespace control = app::control;

namespace f = protocol::field;
using emulator::SpoolerCall;
using testing::Click;
using testing::Packets;
using testing::Session;
using testing::TempDataRoot;
using Sleeps = std::vector<std::uint32_t>;

constexpr const char* kStart = "1B 04 17 00 00 00 00 36";
constexpr const char* kFailed = "1B 04 05 00 00 00 00 24";
constexpr const char* kClearA = "1B 04 02 01 00 00 00 22";
constexpr const char* kClearB = "1B 04 02 02 00 00 00 23";
constexpr const char* kPassed = "1B 04 9C 00 00 00 00 BB";

constexpr std::string_view kNotWithin =
    "\r\n\r\nNot within MANUFACTURING TOLERANCES !!   PLEASE CORRECT !!\r\n\r\n";
constexpr std::string_view kWithin =
    "\r\n\r\nAll offsets and settings are within MANUFACTURING TOLERANCES !!\r\n\r\n";
constexpr std::string_view kNotOnline = "Printer Not Online or is busy \r\n";

std::tm RecordTime() {
    std::tm t{};
    t.tm_year = 2005 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 7;
    t.tm_hour = 9;
    t.tm_min = 41;
    return t;
}

// A final check of one unit in a data folder that holds fdefault.fzp.
struct Check {
    explicit Check(const emulator::Scenario& scenario) : session(scenario, data.Root(), &progress) {
        data.Put("fdefault.fzp", testing::PatternBytes(1500));
        session.app.ProductionRecord().SetLocalTimeSource(RecordTime);
        progress.TakePausesFrom(session.clock);
    }
    std::string Run() { return session.Run({Click(control::kFinalCheck)}); }
    bool Failed() { return session.app.Outcome().AnyFailed(); }

    TempDataRoot data;
    testing::RecordingProgress progress;
    Session session;
};

emulator::Scenario WithBytes(emulator::Scenario scenario, std::vector<std::pair<std::size_t, int>> bytes) {
    for (const auto& [at, value] : bytes) scenario.record[at] = static_cast<std::uint8_t>(value);
    testing::Seal(scenario.record);
    return scenario;
}

TEST(FinalCheck, ReferenceUnit) {
    emulator::Scenario scenario = emulator::DefaultScenario();
    scenario.record = testing::ReferenceRecord();
    Check check(scenario);
    EXPECT_EQ(check.Run(),
              "Doing Final Check on ORLAX PRO !\r\n"
              "Firmware Version is BAD !!\r\n"
              "\tVersion should be:  Not Set\r\n"
              "Tray in Sensor Low: 12 ,  High: 200 \r\n"
              "TRAY IN SENSOR OUT OF TOLERANCE !!  0  0 \r\n"
              "Disk in Sensor Low: 15 ,  High: 180 \r\n"
              "DISK IN SENSOR OUT OF TOLERANCE !!  0  0 \r\n"
              "LEX firmware is correct!Left Bin offset out of range !!\r\n"
              "Recorder offset out of range !!\r\n"
              "Printer offset out of range !!\r\n"
              "Right Bin offset out of range !!\r\n"
              "Hook offset out of range !!\r\n"
              "Arm Home offset out of range !!\r\n"
              "Tray Out offset out of range !!\r\n"
              "Pick switch offset out of range !!\r\n"
              "Image Vertical offset out of range !!\r\n"
              "Image Horizontal offset out of range !!\r\n"
              "Left Last Disk offset out of range !!\r\n"
              "Right Last Disk offset out of range !!\r\n"
              "\r\n"
              "\r\n"
              "Not within MANUFACTURING TOLERANCES !!   PLEASE CORRECT !!\r\n"
              "\r\n");
    EXPECT_EQ(check.session.Commands(), Packets({kStart, kFailed}));
    EXPECT_EQ(check.session.clock.Sleeps(), (Sleeps{2000, 500}));
    EXPECT_TRUE(check.Failed());
    EXPECT_FALSE(check.data.Exists("ORLAXPRO.log"));
    EXPECT_TRUE(check.session.NothingLeftOpen());
}

TEST(FinalCheck, PassingUnitIsFinishedAndRecorded) {
    Check check(testing::PassingScenario());
    const int updatesBefore = [] {
        Session opening;
        opening.Run({});
        return opening.host.UpdateCount();
    }();
    const std::string log = check.Run();
    EXPECT_EQ(log,
              "Doing Final Check on ORLAX PRO !\r\n"
              "Firmware Ok!\r\n"
              "\r\n"
              "Tray in Sensor Low: 0 ,  High: 200 \r\n"
              "Disk in Sensor Low: 0 ,  High: 180 \r\n"
              "LEX firmware is correct!\r\n"
              "\r\n"
              "All offsets and settings are within MANUFACTURING TOLERANCES !!\r\n"
              "\r\n"
              "Clearing Spit Counters !!\r\n"
              "\r\n"
              "Sending Factory setup to ORLAX PRO !\r\n" +
                  check.data.PathOf("fdefault.fzp") + " sending to printer !!\r\n" +
                  "Printer should reset when valid update command is recieved.\r\n"
                  "When printer resets the EEPROM error should not happen on power up." +
                  check.data.PathOf("ORLAXPRO.log") + "    File updated !! \r\n");

    // The commands in order, the factory set-up between the spit counters and
    // the pass.
    const auto bytes = [](const char* hex) {
        const auto packet = Packets({hex})[0];
        return std::vector<std::uint8_t>(packet.begin(), packet.end());
    };
    const std::vector<std::vector<std::uint8_t>> expectedJobs{
        bytes(kStart), bytes(kClearA), bytes(kClearB), testing::PatternBytes(1500), bytes(kPassed)};
    std::vector<std::vector<std::uint8_t>> jobs;
    for (const auto& job : check.session.Jobs()) jobs.push_back(job.bytes);
    EXPECT_EQ(jobs, expectedJobs);

    EXPECT_EQ(check.session.clock.Sleeps(), (Sleeps{2000, 500, 30000}));
    EXPECT_EQ(check.session.host.UpdateCount() - updatesBefore, 4);
    EXPECT_EQ(check.data.Read("ORLAXPRO.log"),
              "000001,Not Set,09:41,03\\07\\2005,Not Set,099,0000001234,0000001240,0000,0000,0000,"
              "0000,0000,0000,0000,0000,0000,0000,000,000,000,200,000,180,\r\n");
    const auto& unit = check.session.spooler.Device().State();
    EXPECT_EQ(protocol::ReadBigEndian32(unit, f::yellowSpitsA), 0u);
    EXPECT_EQ(protocol::ReadBigEndian32(unit, f::cyanSpitsB), 0u);
    EXPECT_FALSE(check.Failed());
    EXPECT_TRUE(check.session.NothingLeftOpen());
}

TEST(FinalCheck, LostRecordFailsTheRunButTheUnitIsStillFinished) {
    Check check(testing::PassingScenario());
    // A device in the record's place cannot be opened as a record file.
    std::filesystem::create_symlink("/dev/full", check.data.PathOf("ORLAXPRO.log"));
    const std::string log = check.Run();
    EXPECT_TRUE(log.ends_with(check.data.PathOf("ORLAXPRO.log") + " Error in open !\r\n")) << log;
    EXPECT_EQ(check.session.Commands().back(), Packets({kPassed})[0]);
    EXPECT_TRUE(check.Failed());
}

// The unit's firmware text passes when it occurs within "Not Set".
TEST(FinalCheck, FirmwareTextWithinTheExpectedOne) {
    struct Case {
        std::string firmware;
        bool passes;
    };
    const Case cases[] = {
        {"", true},     {"Not", true},   {"Set", true},          {"Not Set", true},
        {"t S", true},  {"1.23", false}, {"Not Set!", false},    {"not set", false},
        {std::string("Not\0junk", 8), true},  // ends at the zero byte
        {"Not Set Not Set", false},           // 15 characters, no terminator
    };
    const std::string bad = "Firmware Version is BAD !!\r\n\tVersion should be:  Not Set\r\n";
    for (const Case& c : cases) {
        Check check(testing::PassingScenario(c.firmware));
        const std::string log = check.Run();
        const std::string start = "Doing Final Check on ORLAX PRO !\r\n";
        EXPECT_TRUE(log.starts_with(start + (c.passes ? "Firmware Ok!\r\n\r\n" : bad))) << c.firmware;
        EXPECT_NE(log.find(c.passes ? kWithin : kNotWithin), std::string::npos) << c.firmware;
        EXPECT_EQ(check.Failed(), !c.passes) << c.firmware;
    }
}

// One value out of tolerance at a time: its own lines stand between the
// sensor readings and the verdict, and the unit fails.
TEST(FinalCheck, EachTestReportsItsOwnFailure) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::size_t, int>> bytes;
        std::string section;  // from "Tray in" up to the two line ends
    };
    const std::string tray = "Tray in Sensor Low: 0 ,  High: 200 \r\n";
    const std::string disk = "Disk in Sensor Low: 0 ,  High: 180 \r\n";
    const std::string lexOk = "LEX firmware is correct!";
    const std::string sensorsOk = tray + disk + lexOk;
    const Case cases[] = {
        {"tray in low 1", {{f::trayInSensorLow, 1}},
         "Tray in Sensor Low: 1 ,  High: 200 \r\nTRAY IN SENSOR OUT OF TOLERANCE !!  0  0 \r\n" + disk + lexOk},
        {"disc in low 255", {{f::diskInSensorLow, 255}},
         tray + "Disk in Sensor Low: 255 ,  High: 180 \r\nDISK IN SENSOR OUT OF TOLERANCE !!  0  0 \r\n" +
             lexOk},
        {"lex 200", {{f::lexVersion, 200}},
         tray + disk + "LEX FIRMWARE NOT CORRECT !! IS: -56   SHOULD BE: 99 \r\n"},
        {"lex 98", {{f::lexVersion, 98}},
         tray + disk + "LEX FIRMWARE NOT CORRECT !! IS: 98   SHOULD BE: 99 \r\n"},
        {"left bin 1", {{f::leftBinOffset, 1}},
         sensorsOk + "Right To Left Bin offset out range !!\r\nLeft Bin offset out of range !!\r\n"},
        {"both bins 5", {{f::leftBinOffset, 5}, {f::rightBinOffset, 5}},
         sensorsOk + "Left Bin offset out of range !!\r\nRight Bin offset out of range !!\r\n"},
        {"right bin -3", {{f::rightBinOffset, -3}},
         sensorsOk + "Right To Left Bin offset out range !!\r\nRight Bin offset out of range !!\r\n"},
        {"recorder", {{f::recorderOffset, -1}}, sensorsOk + "Recorder offset out of range !!\r\n"},
        {"printer", {{f::printerOffset, 1}}, sensorsOk + "Printer offset out of range !!\r\n"},
        {"hook", {{f::hookOffset, -128}}, sensorsOk + "Hook offset out of range !!\r\n"},
        {"arm home", {{f::armHomeOffset, 1}}, sensorsOk + "Arm Home offset out of range !!\r\n"},
        {"tray out", {{f::trayOutOffset, -1}}, sensorsOk + "Tray Out offset out of range !!\r\n"},
        {"picker switch 255", {{f::pickerSwitchOffset, 255}},
         sensorsOk + "Pick switch offset out of range !!\r\n"},
        {"vertical", {{f::imageVertical, -32}}, sensorsOk + "Image Vertical offset out of range !!\r\n"},
        {"horizontal", {{f::imageHorizontal, 32}},
         sensorsOk + "Image Horizontal offset out of range !!\r\n"},
        {"last disc left", {{f::lastDiskLeft, -1}}, sensorsOk + "Left Last Disk offset out of range !!\r\n"},
        {"last disc right", {{f::lastDiskRight, 1}},
         sensorsOk + "Right Last Disk offset out of range !!\r\n"},
    };
    for (const Case& c : cases) {
        Check check(WithBytes(testing::PassingScenario(), c.bytes));
        const std::string log = check.Run();
        const std::string firmwareOk = "Doing Final Check on ORLAX PRO !\r\nFirmware Ok!\r\n\r\n";
        EXPECT_EQ(log, firmwareOk + c.section + std::string(kNotWithin)) << c.what;
        EXPECT_EQ(check.session.Commands(), Packets({kStart, kFailed})) << c.what;
        EXPECT_TRUE(check.Failed()) << c.what;
    }
}

TEST(FinalCheck, UntestedValuesDoNotMatter) {
    const std::vector<std::pair<std::size_t, int>> untested[] = {
        {{f::recorder2Offset, 77}}, {{f::trayInSensorHigh, 0}}, {{f::diskInSensorHigh, 0}},
        {{f::leftBinCount, 9}, {f::pgaVersion, 3}},
    };
    for (const auto& bytes : untested) {
        Check check(WithBytes(testing::PassingScenario(), bytes));
        EXPECT_NE(check.Run().find(kWithin), std::string::npos);
        EXPECT_FALSE(check.Failed());
    }
}

// The wait after FinalCheckStart: a poll every 500 ms until the status byte
// reads idle, given up two minutes after it began however long each read
// takes (polls = 0: as many as fit in that time).
TEST(FinalCheck, WaitForIdle) {
    struct Case {
        const char* what;
        std::vector<emulator::ScriptedReply> replies;
        std::uint32_t busyPolls;
        std::vector<std::size_t> failedOpens;
        std::size_t polls;
        bool reachesVerdict;
    };
    using R = emulator::ReplyKind;
    const emulator::ScriptedReply ok{R::Ok}, cover{R::Cover}, busy{R::Busy}, fail{R::Fail};
    std::vector<std::size_t> everyOpenFromThe4th;
    for (std::size_t n = 4; n < 300; ++n) everyOpenFromThe4th.push_back(n);
    std::vector<emulator::ScriptedReply> busy200{ok, ok};
    busy200.insert(busy200.end(), 200, busy);
    // After the first two reads, every read call fails: each status query
    // spends its whole budget retrying.
    std::vector<emulator::ScriptedReply> deadAfterStart{ok, ok};
    deadAfterStart.insert(deadAfterStart.end(), 200000, fail);
    const Case cases[] = {
        {"idle at once", {}, 0, {}, 1, true},
        {"cover open three polls", {ok, ok, cover, cover, cover}, 0, {}, 4, true},
        {"busy then cover then idle", {ok, ok, busy, cover, busy}, 0, {}, 4, true},
        {"busy for 200 polls", busy200, 0, {}, 201, true},
        {"busy for ever", {}, 1000000, {}, 0, false},
        {"unreadable after the start", {}, 0, everyOpenFromThe4th, 0, false},
        {"gone after the start: every read spends its budget", deadAfterStart, 0, {}, 0, false},
        // Opens: the firmware read, the start's read and job, one poll, the re-read.
        {"re-read fails", {}, 0, {5}, 1, false},
    };
    for (const Case& c : cases) {
        emulator::Scenario scenario = testing::PassingScenario();
        scenario.replies = c.replies;
        scenario.busyPolls = c.busyPolls;
        Check check(scenario);
        for (const std::size_t n : c.failedOpens) check.session.spooler.FailNthCall(SpoolerCall::Open, n);
        const std::uint32_t began = check.session.clock.GetTickCount();
        const std::string log = check.Run();
        const std::uint32_t took = check.session.clock.GetTickCount() - began;
        const auto& sleeps = check.session.clock.Sleeps();
        const std::size_t polls = c.polls > 0 ? c.polls : sleeps.size() - 1;
        ASSERT_GE(sleeps.size(), 1 + polls) << c.what;
        EXPECT_EQ(sleeps[0], 2000u) << c.what;
        EXPECT_EQ(Sleeps(sleeps.begin() + 1, sleeps.begin() + 1 + static_cast<std::ptrdiff_t>(polls)),
                  Sleeps(polls, 500))
            << c.what;
        if (c.polls == 0) {
            // The wait ends after its bound, the pause after the start and a
            // few status budgets around it, not after a count of polls.
            EXPECT_GE(took, 2000 + kFinalCheckIdleWaitMs) << c.what;
            EXPECT_LE(took, 2000 + kFinalCheckIdleWaitMs + 500 + 4 * (device::kStatusTimeBudgetMs + 100))
                << c.what;
            EXPECT_LE(polls, kFinalCheckIdleWaitMs / 500) << c.what;
        }
        // The pause after the start is fixed; every poll's pause is told.
        const std::string waited = "2000 " + testing::UnitWaitTimeline(polls, 500);
        if (c.reachesVerdict) {
            EXPECT_TRUE(check.progress.Timeline().starts_with(waited)) << c.what;
            EXPECT_NE(log.find(kWithin), std::string::npos) << c.what;
            EXPECT_EQ(check.session.Commands().back(), Packets({kPassed})[0]) << c.what;
            EXPECT_FALSE(check.Failed()) << c.what;
        } else {
            EXPECT_EQ(sleeps.size(), 1 + polls) << c.what;
            EXPECT_EQ(check.progress.Timeline(), waited) << c.what;
            EXPECT_TRUE(log.ends_with(kNotOnline)) << c.what;
            EXPECT_EQ(log.find("Tray in"), std::string::npos) << c.what;
            EXPECT_EQ(check.session.Commands(), Packets({kStart})) << c.what;
            EXPECT_TRUE(check.Failed()) << c.what;
        }
        EXPECT_TRUE(check.session.NothingLeftOpen()) << c.what;
    }
}

// A run of the same failed read during the wait shows three times, then one
// line counts the rest; a different failure starts a run of its own.
TEST(FinalCheck, RepeatedFailuresDuringTheWaitAreCounted) {
    // Poll N opens the queue for the (3 + N)th time: polls 1 to 6 fail,
    // poll 7 reads busy, polls 8 and 9 fail again, poll 10 reads idle.
    std::vector<std::size_t> opens{4, 5, 6, 7, 8, 9, 11, 12};
    emulator::Scenario scenario = testing::PassingScenario();
    using R = emulator::ReplyKind;
    scenario.replies = {{R::Ok}, {R::Ok}, {R::Busy}};
    Check check(scenario);
    for (const std::size_t n : opens) check.session.spooler.FailNthCall(SpoolerCall::Open, n);
    const std::string log = check.Run();
    const std::string open = "Printer Open Error !!\r\n";
    EXPECT_NE(log.find(open + open + open + "... the same 3 more times !!\r\n" + open + open + "Tray in"),
              std::string::npos)
        << log;
}

TEST(FinalCheck, FailedFirstReadFailsEvenAPassingUnit) {
    Check check(testing::PassingScenario());
    check.session.spooler.FailNthCall(SpoolerCall::Open, 1);
    const std::string log = check.Run();
    EXPECT_TRUE(log.starts_with("Doing Final Check on ORLAX PRO !\r\nPrinter Open Error !!\r\nTray in"))
        << log;
    EXPECT_TRUE(log.ends_with(kNotWithin)) << log;
    EXPECT_EQ(log.find("Firmware"), std::string::npos);
    EXPECT_EQ(check.session.Commands(), Packets({kStart, kFailed}));
    EXPECT_FALSE(check.data.Exists("ORLAXPRO.log"));
    EXPECT_TRUE(check.Failed());
}

}  // namespace
}  // namespace orlax::operations
