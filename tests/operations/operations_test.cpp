// The downloads and maintenance commands of the main window, clicked through
// the headless host against the emulated unit on the virtual clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/burner_dlg.h"
#include "app/help_text.h"
#include "report/status_report.h"
#include "support/data_root.h"
#include "support/packet_hex.h"
#include "support/passing_unit.h"
#include "support/recording_progress.h"
#include "support/session.h"

namespace orlax::operations {
namespace {

namespace control = app::control;

using emulator::SpoolerCall;
using testing::Click;
using testing::PatternBytes;
using testing::Session;
using testing::TempDataRoot;
using Sleeps = std::vector<std::uint32_t>;

constexpr std::string_view kResetInstruction =
    "When printer LED starts to flash on the front panel.\r\n"
    "Press front panel button to reset printer. If this did not happen retry this function";
constexpr std::string_view kFactoryNote =
    "Printer should reset when valid update command is recieved.\r\n"
    "When printer resets the EEPROM error should not happen on power up.";
constexpr std::string_view kPrinterOpenError = "Printer Open Error !!\r\n";

// The device files, each with contents of its own size.
const std::vector<std::pair<std::string, std::size_t>> kDeviceFiles{
    {"firm.bin", 1500}, {"MarlithPro.Lod", 4321}, {"fupdate.fzp", 999},
    {"fdefault.fzp", 1000}, {"orlax.prn", 2048},
};

void PutDeviceFiles(const TempDataRoot& data, std::string_view except = {}) {
    for (const auto& [name, size] : kDeviceFiles)
        if (name != except) data.Put(name, PatternBytes(size));
}

std::vector<std::uint8_t> FileBytes(std::string_view name) {
    for (const auto& [file, size] : kDeviceFiles)
        if (file == name) return PatternBytes(size);
    return {};
}

// UpdateWindow calls of the main window's opening alone.
int OpeningUpdates() {
    Session session;
    session.Run({});
    return session.host.UpdateCount();
}

TEST(Downloads, LogJobsPausesAndRepaints) {
    struct Case {
        const char* what;
        int button;
        std::string_view missing;             // a device file left out
        std::vector<std::string> logParts;    // a "@name" part is that file's path line, "!name" its not-sent line
        std::vector<std::string> jobFiles;    // "" is the empty job of a missing file
        Sleeps sleeps;
        int updates;
        bool failed;
    };
    const std::string lex = "Sending LEX FIRMWARE File !!   This will take ~ 13 seconds\r\n";
    const std::string fzp = "Sending Startup Fzp File !!\r\n";
    const std::string bin = "Sending Startup Bin File !!\r\n";
    const std::string reset(kResetInstruction);
    const std::string factory = "Sending Factory setup to ORLAX PRO !\r\n";
    const std::string test = "SENDING TEST FILE TO PRINTER \r\n";
    const Case cases[] = {
        {"startup", control::kStartup, {},
         {bin, "@firm.bin", lex, "@MarlithPro.Lod", fzp, "@fupdate.fzp", reset},
         {"firm.bin", "MarlithPro.Lod", "fupdate.fzp"}, {2000, 12000}, 4, false},
        {"startup without firm.bin", control::kStartup, "firm.bin",
         {bin, "@firm.bin", "!firm.bin", lex, "@MarlithPro.Lod", fzp, "@fupdate.fzp", reset},
         {"", "MarlithPro.Lod", "fupdate.fzp"}, {2000, 12000}, 4, true},
        {"firmware update", control::kFirmwareUpdate, {},
         {lex, "@MarlithPro.Lod", fzp, "@fupdate.fzp", reset},
         {"MarlithPro.Lod", "fupdate.fzp"}, {12000}, 3, false},
        {"factory defaults", control::kSetFactoryDefaults, {},
         {factory, "@fdefault.fzp", std::string(kFactoryNote)}, {"fdefault.fzp"}, {}, 1, false},
        {"test file", control::kSendTestFile, {},
         {test, "@orlax.prn", "File sent ok! to printer \r\n"}, {"orlax.prn"}, {}, 0, false},
        {"test file missing", control::kSendTestFile, "orlax.prn", {test, "@orlax.prn", "!orlax.prn"}, {""}, {},
         0, true},
    };
    const int opening = OpeningUpdates();
    for (const Case& c : cases) {
        TempDataRoot data;
        PutDeviceFiles(data, c.missing);
        Session session(emulator::DefaultScenario(), data.Root());
        const std::string log = session.Run({Click(c.button)});

        std::string expected;
        for (const auto& part : c.logParts)
            expected += part.starts_with('@')   ? data.PathOf(part.substr(1)) + " sending to printer !!\r\n"
                        : part.starts_with('!') ? "File " + data.PathOf(part.substr(1)) +
                                                      " NOT SENT: the file could not be opened !!\r\n"
                                                : part;
        EXPECT_EQ(log, expected) << c.what;
        ASSERT_EQ(session.Jobs().size(), c.jobFiles.size()) << c.what;
        for (std::size_t i = 0; i < c.jobFiles.size(); ++i)
            EXPECT_EQ(session.Jobs()[i].bytes, FileBytes(c.jobFiles[i])) << c.what << " job " << i;
        EXPECT_EQ(session.clock.Sleeps(), c.sleeps) << c.what;
        EXPECT_EQ(session.host.UpdateCount() - opening, c.updates) << c.what;
        EXPECT_EQ(session.app.Outcome().AnyFailed(), c.failed) << c.what;
        const auto boxes = session.host.MessageBoxes();
        ASSERT_EQ(boxes.size(), c.missing.empty() ? 0u : 1u) << c.what;
        if (!boxes.empty()) {
            EXPECT_EQ(boxes[0].second, "Error opening file" + data.PathOf(c.missing)) << c.what;
        }
        EXPECT_TRUE(session.NothingLeftOpen()) << c.what;
    }
}

TEST(MaintenanceCommands, PacketsAndLog) {
    struct Case {
        const char* what;
        std::vector<int> buttons;
        bool unreadable;
        std::vector<const char*> packets;
        std::string log;
    };
    const std::string help = app::HelpText();
    const std::string calibrated = "Calibrate Last Disk Position Command Sent to ORLAX PRO \r\n";
    // A command whose status read could not open the queue: the read's
    // text, then the command's own not-sent line.
    const auto unread = [](std::string_view command) {
        return std::string(kPrinterOpenError) + "Command " + std::string(command) +
               " NOT SENT: the unit or its spooler failed the call !!\r\n";
    };
    const Case cases[] = {
        {"clear spits", {control::kClearSpits}, false,
         {"1B 04 02 01 00 00 00 22", "1B 04 02 02 00 00 00 23"}, ""},
        {"clear spits, unreadable", {control::kClearSpits}, true, {}, unread("ClearSpits") + unread("ClearSpits")},
        {"calibrate twice", {control::kCalibrateLastDisk, control::kCalibrateLastDisk}, false,
         {"1B 04 0A 00 00 00 00 29", "1B 04 0A 00 00 00 00 29"}, help + calibrated + calibrated},
        {"calibrate, unreadable", {control::kCalibrateLastDisk}, true, {},
         help + unread("CalibrateLastDisk") + calibrated},
        {"restore factory", {control::kRestoreFactory}, false, {"1B 04 0B 00 00 00 00 2A"}, help},
        {"restore factory, unreadable", {control::kRestoreFactory}, true, {}, help + unread("RestoreFactory")},
    };
    for (const Case& c : cases) {
        emulator::Scenario scenario = emulator::DefaultScenario();
        scenario.faults.open = c.unreadable;
        Session session(scenario);
        headless::Script script;
        for (const int button : c.buttons) script.push_back(Click(button));
        EXPECT_EQ(session.Run(script), c.log) << c.what;
        EXPECT_EQ(session.Commands(), testing::Packets(c.packets)) << c.what;
        EXPECT_EQ(session.app.Outcome().AnyFailed(), c.unreadable) << c.what;
        EXPECT_TRUE(session.clock.Sleeps().empty()) << c.what;
    }
}

// TEST BINS: the two commands, a second, then polls a second apart until the
// unit is idle, and the report of that read. The pauses in order, with what
// the progress port was told: the busy wait before the test command, the
// fixed second, then the polls of the wait for the test to end.
struct BinsCase {
    const char* what;
    std::uint32_t busyPolls;
    std::vector<std::size_t> failedOpens;  // these queue opens fail
    bool unreadable;
    std::size_t commands;
    std::string timeline;
    bool report;
};

std::string Then(std::initializer_list<std::string> parts) {
    std::string all;
    for (const auto& part : parts)
        if (!part.empty()) all += (all.empty() ? "" : " ") + part;
    return all;
}

std::vector<std::size_t> Range(std::size_t from, std::size_t to) {
    std::vector<std::size_t> numbers;
    for (std::size_t n = from; n <= to; ++n) numbers.push_back(n);
    return numbers;
}

TEST(TestBins, PollsUntilIdleThenReports) {
    using testing::UnitWaitTimeline;
    // Queue opens before the first poll: a status read and a job per command.
    constexpr std::size_t kFirstPollOpen = 5;
    const BinsCase cases[] = {
        {"idle", 0, {}, false, 2, "1000", true},
        {"busy five polls", 5, {}, false, 2, Then({UnitWaitTimeline(5, 300), "1000", UnitWaitTimeline(5, 1000)}),
         true},
        {"idle at the 30th poll", 29, {}, false, 2,
         Then({UnitWaitTimeline(29, 300), "1000", UnitWaitTimeline(29, 1000)}), true},
        {"busy for all 30 polls", 30, {}, false, 2,
         Then({UnitWaitTimeline(30, 300), "1000", UnitWaitTimeline(30, 1000)}), false},
        {"unreadable", 0, {}, true, 0, Then({"1000", UnitWaitTimeline(30, 1000)}), false},
        // A failed poll is busy, not idle: the report waits for a real read.
        {"first poll fails", 0, {kFirstPollOpen}, false, 2, Then({"1000", UnitWaitTimeline(1, 1000)}), true},
        {"every poll fails", 0, Range(kFirstPollOpen, kFirstPollOpen + 29), false, 2,
         Then({"1000", UnitWaitTimeline(30, 1000)}), false},
    };
    const std::string heading = "Checking # of Disks in bins !!\r\n";
    const std::string getting = "Getting Printer Status !!\r\n";
    for (const BinsCase& c : cases) {
        emulator::Scenario scenario = emulator::DefaultScenario();
        scenario.busyPolls = c.busyPolls;
        scenario.faults.open = c.unreadable;
        scenario.record[protocol::field::leftBinCount] = 25;
        scenario.record[protocol::field::rightBinCount] = 12;
        testing::RecordingProgress progress;
        Session session(scenario, "/nonexistent-data-root", &progress);
        progress.TakePausesFrom(session.clock);
        for (const std::size_t n : c.failedOpens) session.spooler.FailNthCall(SpoolerCall::Open, n);
        const std::string log = session.Run({Click(control::kTestBins)});

        EXPECT_TRUE(log.starts_with(heading)) << c.what;
        const auto packets = c.commands == 2 ? testing::Packets({"1B 04 09 00 00 00 00 28",
                                                                 "1B 04 99 00 00 00 00 B8"})
                                             : std::vector<protocol::CommandPacket>{};
        EXPECT_EQ(session.Commands(), packets) << c.what;
        EXPECT_EQ(progress.Timeline(), c.timeline) << c.what;
        const std::size_t at = log.find(getting);
        EXPECT_EQ(at != std::string::npos, c.report) << c.what;
        if (c.report) {
            OperatorLog report;
            report::ShowStatusReport(session.app.Device(), report);
            EXPECT_EQ(log.substr(at), getting + std::string(report.LogText())) << c.what;
            EXPECT_NE(log.find("# OF DISKS IN LEFT BIN:\t  25 \tRIGHT BIN:\t 12"), std::string::npos)
                << c.what;
        }
        // A poll that failed and was followed by a good one does not fail the operation.
        EXPECT_EQ(session.app.Outcome().AnyFailed(), !c.report) << c.what;
        EXPECT_TRUE(session.NothingLeftOpen()) << c.what;
    }
}

}  // namespace
}  // namespace orlax::operations
