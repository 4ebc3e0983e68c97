#include <gtest/gtest.h>

#include <string>

#include "protocol/command_packet.h"
#include "device/device_link.h"
#include "support/recording_progress.h"
#include "support/session.h"

namespace orlax::device {
namespace {

using emulator::ReplyKind;
using emulator::ScriptedReply;
using protocol::CommandCatalogue;
using protocol::CommandCode;
using protocol::CommandName;
using protocol::CommandPacket;
using testing::Session;

// A session whose link talks to the emulated unit without a window.
struct Link : Session {
    explicit Link(const emulator::Scenario& scenario = emulator::DefaultScenario(),
                  platform::Progress* progress = nullptr)
        : Session(scenario, "/nonexistent-data-root", progress) {
        app.PrinterName() = "Lumetra PRO";
    }
    DeviceLink& link() { return app.Link(); }
};

CommandPacket Bytes(std::initializer_list<std::uint8_t> bytes) {
    CommandPacket packet{};
    std::copy(bytes.begin(), bytes.end(), packet.begin());
    return packet;
}

TEST(CommandPacket, CatalogueSendsItsFullPackets) {
    struct Case {
        CommandCode code;
        std::uint8_t arg1, arg2;
        CommandPacket full;
    };
    using enum CommandCode;
    const Case cases[] = {
        {ClearSpits, 1, 0, Bytes({0x1B, 0x04, 0x02, 0x01, 0, 0, 0, 0x22})},
        {ClearSpits, 2, 0, Bytes({0x1B, 0x04, 0x02, 0x02, 0, 0, 0, 0x23})},
        {SetImageOffset, 0xFD, 0x07, Bytes({0x1B, 0x04, 0x03, 0xFD, 0x07, 0, 0, 0x26})},
        {FinalCheckFailed, 0, 0, Bytes({0x1B, 0x04, 0x05, 0, 0, 0, 0, 0x24})},
        {SetPositionOffset, 2, 0xFB, Bytes({0x1B, 0x04, 0x08, 0x02, 0xFB, 0, 0, 0x24})},
        {PrepareMove, 0, 0, Bytes({0x1B, 0x04, 0x09, 0, 0, 0, 0, 0x28})},
        {CalibrateLastDisk, 0, 0, Bytes({0x1B, 0x04, 0x0A, 0, 0, 0, 0, 0x29})},
        {RestoreFactory, 0, 0, Bytes({0x1B, 0x04, 0x0B, 0, 0, 0, 0, 0x2A})},
        {OffsetsSetup, 0, 0, Bytes({0x1B, 0x04, 0x13, 0, 0, 0, 0, 0x32})},
        {FinalCheckStart, 0, 0, Bytes({0x1B, 0x04, 0x17, 0, 0, 0, 0, 0x36})},
        {MoveLeftBin, 0, 0, Bytes({0x1B, 0x04, 0x8D, 0, 0, 0, 0, 0xAC})},
        {MovePrinter, 0, 0, Bytes({0x1B, 0x04, 0x8E, 0, 0, 0, 0, 0xAD})},
        {MoveRecorderUpper, 0, 0, Bytes({0x1B, 0x04, 0x8F, 0, 0, 0, 0, 0xAE})},
        {MoveRightBin, 0, 0, Bytes({0x1B, 0x04, 0x90, 0, 0, 0, 0, 0xAF})},
        {Pick, 0, 0, Bytes({0x1B, 0x04, 0x92, 0, 0, 0, 0, 0xB1})},
        {PrinterMoveStart, 0, 0, Bytes({0x1B, 0x04, 0x93, 0, 0, 0, 0, 0xB2})},
        {RecorderMoveStart, 0, 0, Bytes({0x1B, 0x04, 0x94, 0, 0, 0, 0, 0xB3})},
        {MoveHook, 0, 0, Bytes({0x1B, 0x04, 0x96, 0, 0, 0, 0, 0xB5})},
        {HookMoveFinish, 0, 0, Bytes({0x1B, 0x04, 0x97, 0, 0, 0, 0, 0xB6})},
        {TestBins, 0, 0, Bytes({0x1B, 0x04, 0x99, 0, 0, 0, 0, 0xB8})},
        {MoveFinish, 0, 0, Bytes({0x1B, 0x04, 0x9B, 0, 0, 0, 0, 0xBA})},
        {FinalCheckPassed, 0, 0, Bytes({0x1B, 0x04, 0x9C, 0, 0, 0, 0, 0xBB})},
        {MoveRecorderLower, 0, 0, Bytes({0x1B, 0x04, 0xA3, 0, 0, 0, 0, 0xC2})},
    };
    EXPECT_EQ(CommandCatalogue().size() + 1, std::size(cases));  // ClearSpits twice
    Link session;
    for (const auto& c : cases) {
        EXPECT_TRUE(session.link().SendCommand(c.code, c.arg1, c.arg2).Ok());
        ASSERT_FALSE(session.Commands().empty());
        EXPECT_EQ(session.Commands().back(), c.full) << CommandName(static_cast<std::uint8_t>(c.code));
    }
    EXPECT_TRUE(session.NothingLeftOpen());
    EXPECT_EQ(session.spooler.Jobs().front().docName, "Lumetra Command");
    EXPECT_EQ(session.spooler.Jobs().front().dataType, "RAW");
}

TEST(CommandPacket, BuildersTakeTheMirror) {
    struct Case {
        const char* what;
        std::int32_t DeviceMirror::*field;
        std::int32_t value;
        int index;
        int result;
        std::optional<CommandPacket> sent;
    };
    const Case cases[] = {
        {"picker switch 200 wraps the checksum", &DeviceMirror::pickerSwitch, 200, 7, 1,
         Bytes({0x1B, 0x04, 0x08, 0x07, 0xC8, 0, 0, 0xF6})},
        {"recorder2 -4", &DeviceMirror::recorder2, -4, 2, 1, Bytes({0x1B, 0x04, 0x08, 0x02, 0xFC, 0, 0, 0x25})},
        {"value 300 loses its upper bits", &DeviceMirror::leftBin, 300, 0, 1,
         Bytes({0x1B, 0x04, 0x08, 0x00, 0x2C, 0, 0, 0x53})},
        {"index 9 sends nothing", &DeviceMirror::armHome, 1, 9, 0, std::nullopt},
        {"index 136 (-120 as a signed byte) sends nothing", &DeviceMirror::armHome, 1, 136, 0, std::nullopt},
        {"index 264 is index 8 by its low byte", &DeviceMirror::armHome, -7, 264, 1,
         Bytes({0x1B, 0x04, 0x08, 0x08, 0xF9, 0, 0, 0x28})},
    };
    for (const auto& c : cases) {
        Link session;
        // The status read inside SendCommand refreshes the mirror after the packet is built.
        session.app.Device().mirror.*c.field = c.value;
        EXPECT_EQ(session.link().SetPositionOffset(c.index).Ok(), c.result == 1) << c.what;
        if (c.sent) {
            ASSERT_EQ(session.Commands().size(), 1u) << c.what;
            EXPECT_EQ(session.Commands()[0], *c.sent) << c.what;
        } else {
            EXPECT_TRUE(session.Jobs().empty()) << c.what;
        }
    }
    Link session;
    session.app.Device().mirror.verticalOffset = 5;
    session.app.Device().mirror.horizontalOffset = -3;
    EXPECT_TRUE(session.link().SetImageOffset().Ok());
    EXPECT_TRUE(session.link().PrepareMove().Ok());
    EXPECT_EQ(session.Commands(), (std::vector{Bytes({0x1B, 0x04, 0x03, 0x05, 0xFD, 0, 0, 0x24}),
                                               Bytes({0x1B, 0x04, 0x09, 0, 0, 0, 0, 0x28})}));
}

TEST(SendCommand, WaitsWhileBusy) {
    struct Case {
        const char* what;
        std::vector<ScriptedReply> replies;
        int result;
        std::size_t sleeps;
        bool sent;
    };
    const std::vector<ScriptedReply> fiveBusy(5, {ReplyKind::Busy, 0});
    std::vector<ScriptedReply> busyThenFail = fiveBusy;
    busyThenFail.push_back({ReplyKind::Length, 50});
    const Case cases[] = {
        {"five busy then idle: sent after the sixth query", fiveBusy, 1, 5, true},
        {"cover open counts as not busy", {{ReplyKind::Cover, 0}}, 1, 0, true},
        {"a failed query during the wait sends nothing", busyThenFail, 0, 5, false},
        {"a failed first query sends nothing", {{ReplyKind::BadSum, 0}}, 0, 0, false},
    };
    for (const auto& c : cases) {
        emulator::Scenario scenario = emulator::DefaultScenario();
        scenario.replies = c.replies;
        testing::RecordingProgress progress;
        Link session(scenario, &progress);
        progress.TakePausesFrom(session.clock);
        const Result sent = session.link().SendCommand(CommandCode::RestoreFactory);
        EXPECT_EQ(sent.Ok(), c.result == 1) << c.what;
        EXPECT_EQ(session.clock.Sleeps(), std::vector<std::uint32_t>(c.sleeps, 300)) << c.what;
        // Each pause is told as a poll of the wait before it is taken, and
        // the wait's end once, whichever way it ended.
        EXPECT_EQ(progress.Timeline(), testing::UnitWaitTimeline(c.sleeps, 300)) << c.what;
        EXPECT_EQ(session.Commands().size(), c.sent ? 1u : 0u) << c.what;
        EXPECT_EQ(session.app.Device().deviceBusy, !c.sent) << c.what;  // stays set when nothing went out
        EXPECT_EQ(sent.Cause().empty(), c.sent) << c.what;  // a failure says why
        EXPECT_TRUE(session.NothingLeftOpen()) << c.what;
    }
}

// A unit busy for good: the command is given up a minute after the first
// read, on the clock, however long each read takes (cheap reads, or reads
// that retry for about a second before they read busy).
TEST(SendCommand, BusyWaitEndsAfterItsTime) {
    std::vector<ScriptedReply> slowBusy;
    for (int read = 0; read < 300; ++read) {
        slowBusy.insert(slowBusy.end(), 500, {ReplyKind::Fail, 0});
        slowBusy.push_back({ReplyKind::Busy, 0});
    }
    for (const auto& [replies, readCostMs] : {std::pair{std::vector<ScriptedReply>(300, {ReplyKind::Busy, 0}), 10u},
                                              std::pair{slowBusy, 1100u}}) {
        emulator::Scenario scenario = emulator::DefaultScenario();
        scenario.replies = replies;
        Link session(scenario);
        const std::uint32_t began = session.clock.GetTickCount();
        EXPECT_EQ(session.link().SendCommand(CommandCode::RestoreFactory).Cause(), cause::kStayedBusy);
        const std::uint32_t took = session.clock.GetTickCount() - began;
        EXPECT_GE(took, kBusyWaitMs);
        EXPECT_LE(took, kBusyWaitMs + kBusyPollMs + readCostMs);
        EXPECT_TRUE(session.app.Log().LogText().ends_with(
            "Printer busy too long !!\r\nCommand RestoreFactory NOT SENT: the unit stayed busy !!\r\n"));
        EXPECT_TRUE(session.Commands().empty() && session.NothingLeftOpen());
    }
}

TEST(SendCommand, ResentPacketGetsAFreshChecksum) {
    Link session;
    CommandPacket packet = MakeCommand(CommandCode::MoveLeftBin);
    EXPECT_TRUE(session.link().SendCommand(packet).Ok());
    packet[2] = static_cast<std::uint8_t>(CommandCode::MoveFinish);
    EXPECT_TRUE(session.link().SendCommand(packet).Ok());
    EXPECT_EQ(session.Commands(), (std::vector{Bytes({0x1B, 0x04, 0x8D, 0, 0, 0, 0, 0xAC}),
                                               Bytes({0x1B, 0x04, 0x9B, 0, 0, 0, 0, 0xBA})}));
}

TEST(WriteRawJob, EveryFailingStepEndsWhatWasStarted) {
    struct Case {
        const char* what;
        emulator::Faults faults;
        bool delivered;  // the unit still gets a job
    };
    const Case cases[] = {
        {"open", {.open = true}, false},
        {"start document", {.startDoc = true}, false},
        {"start page: the document is ended", {.startPage = true}, true},
        {"write: page and document ended", {.write = true}, true},
        {"short write", {.shortWrite = true}, true},
        {"end page", {.endPage = true}, true},
        {"end document", {.endDoc = true}, false},
    };
    const std::uint8_t bytes[] = {1, 2, 3};
    for (const auto& c : cases) {
        emulator::Scenario scenario = emulator::DefaultScenario();
        scenario.faults = c.faults;
        Link session(scenario);
        EXPECT_FALSE(session.link().WriteRawJob(bytes).Ok()) << c.what;
        EXPECT_TRUE(session.NothingLeftOpen()) << c.what;
        EXPECT_EQ(session.Jobs().size(), c.delivered ? 1u : 0u) << c.what;
        EXPECT_TRUE(session.app.Log().LogText().empty()) << c.what;
    }
    Link session;
    EXPECT_TRUE(session.link().WriteRawJob(bytes).Ok());
    ASSERT_EQ(session.Jobs().size(), 1u);
    EXPECT_EQ(session.Jobs()[0].bytes, (std::vector<std::uint8_t>{1, 2, 3}));
}

}  // namespace
}  // namespace orlax::device
