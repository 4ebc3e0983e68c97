#include <gtest/gtest.h>

#include <string>

#include "support/session.h"

namespace orlax::device {
namespace {

using emulator::ReplyKind;
using emulator::Scenario;
using emulator::ScriptedReply;
using testing::Click;
using testing::Session;
namespace field = protocol::field;
using protocol::kStatusRecordSize;
using protocol::ReadBigEndian32;
using protocol::StatusChecksum;

constexpr int kGetStatus = 1012;

Scenario WithReplies(std::vector<ScriptedReply> replies) {
    Scenario scenario = emulator::DefaultScenario();
    scenario.replies = std::move(replies);
    return scenario;
}

std::vector<ScriptedReply> Repeat(ReplyKind kind, std::size_t count) {
    return std::vector<ScriptedReply>(count, ScriptedReply{kind, 0});
}

// "\r\n", the record's bytes in pieces of 24 as LogHex writes them, " $".
std::string Dump(Session& session, std::size_t count) {
    std::string text = "\r\n";
    const auto& buffer = session.app.Device().statusBuffer;
    for (std::size_t i = 0; i < count; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%.2X ", buffer[i]);
        text += hex;
    }
    return text + " $";
}

TEST(GetDeviceStatus, FailureRowsShowTheirExactTexts) {
    struct Case {
        const char* what;
        Scenario scenario;
        std::size_t dumped;     // bytes in the dump, 0 for none
        const char* beforeDump;
        const char* tail;
    };
    Scenario noOpen = emulator::DefaultScenario();
    noOpen.faults.open = true;
    const Case cases[] = {
        {"queue cannot be opened", noOpen, 0, "Printer Open Error !!\r\n", ""},
        {"checksum wrong", WithReplies({{ReplyKind::BadSum, 0}}), 100,
         "ERROR: Message Checksum is incorrect\r\n",
         "No Status Data Returned\r\n\r\nLength Received: \t100\r\n\r\n"},
        {"25 bytes", WithReplies({{ReplyKind::Length, 25}}), 25, "",
         "No Status Data Returned\r\n\r\nLength Received: \t25\r\n\r\n"},
        {"5 bytes: two digits at least", WithReplies({{ReplyKind::Length, 5}}), 5, "",
         "No Status Data Returned\r\n\r\nLength Received: \t05\r\n\r\n"},
        {"1000 bytes", WithReplies({{ReplyKind::Length, 1000}}), 1000, "",
         "No Status Data Returned\r\n\r\nLength Received: \t1000\r\n\r\n"},
        {"empty replies until the time is up", WithReplies(Repeat(ReplyKind::Empty, 1500)), 0, "",
         "No Status Data Returned\r\n\r\n"},
        {"one byte, then a failed call, then a bad checksum",
         WithReplies({{ReplyKind::One, 0}, {ReplyKind::Fail, 0}, {ReplyKind::BadSum, 0}}), 100,
         ".ERROR: Message Checksum is incorrect\r\n",
         "No Status Data Returned\r\n\r\nLength Received: \t100\r\n"
         "Read failed: GetLastError returned 31\r\n\r\n"},
    };
    for (const auto& c : cases) {
        Session session(c.scenario);
        const std::string log = session.Run({Click(kGetStatus)});
        std::string expected = "Getting Printer Status !!\r\n" + std::string(c.beforeDump);
        if (c.dumped) expected += Dump(session, c.dumped);
        expected += c.tail;
        expected += "No status returned !!\r\n";
        // A 1000-byte dump overflows the log; its end is what shows.
        EXPECT_TRUE(log.ends_with(expected.substr(expected.size() > 2011 ? expected.size() - 2011 : 0)))
            << c.what << "\n" << log;
        EXPECT_TRUE(session.NothingLeftOpen()) << c.what;
        EXPECT_EQ(session.app.Device().mirror.leftBin, kMirrorUnset) << c.what;
    }
}

TEST(GetDeviceStatus, FailingReadsLeaveDotsAndTheLastCode) {
    Session session(WithReplies(Repeat(ReplyKind::Fail, 1500)));
    const std::string log = session.Run({Click(kGetStatus)});
    // One try every 2 ms of the virtual clock (a request and a read) for 2000 ms.
    const std::string dots(1001, '.');
    EXPECT_EQ(log, "Getting Printer Status !!\r\n" + dots +
                       "No Status Data Returned\r\nRead failed: GetLastError returned 31\r\n\r\n"
                       "No status returned !!\r\n");
}

TEST(GetDeviceStatus, RetriesThenSucceeds) {
    Session session(WithReplies({{ReplyKind::Empty, 0}, {ReplyKind::One, 0}, {ReplyKind::Fail, 0}}));
    const std::string log = session.Run({Click(kGetStatus)});
    EXPECT_TRUE(log.find("ORLAX PRO FIRMWARE VERSION #: 1.23") != std::string::npos) << log;
    EXPECT_EQ(log.find('.'), log.find("1.23") + 1);  // no dot before the report: it was cleared
    EXPECT_EQ(session.app.Device().statusLength, 100u);
}

TEST(GetDeviceStatus, MirrorAndFlagsFromTheRecord) {
    namespace f = field;
    struct Case {
        std::size_t at;
        std::uint8_t value;
        std::int32_t DeviceMirror::*mirror;
        std::int32_t expected;
    };
    const Case mirrorCases[] = {
        {f::pickerSwitchOffset, 0xFF, &DeviceMirror::pickerSwitch, 255},
        {f::armHomeOffset, 0xFF, &DeviceMirror::armHome, -1},
        {f::imageVertical, 0xE0, &DeviceMirror::verticalOffset, -32},
        {f::lexVersion, 200, &DeviceMirror::lexVersion, -56},
        {f::recorder2Offset, 0x7F, &DeviceMirror::recorder2, 127},
        {f::trayOutOffset, 0x80, &DeviceMirror::trayOut, -128},
    };
    for (const auto& c : mirrorCases) {
        Scenario scenario = emulator::DefaultScenario();
        scenario.record[c.at] = c.value;
        Session session(scenario);
        session.Run({Click(kGetStatus)});
        EXPECT_EQ(session.app.Device().mirror.*c.mirror, c.expected) << c.at;
    }

    struct FlagCase {
        std::uint8_t systemStatus, trayStatus;
        bool busy, trayIn;
    };
    const FlagCase flagCases[] = {
        {'B', 'D', true, true}, {'C', 'I', false, true}, {'I', 'O', false, false}, {0, 0, false, false},
    };
    for (const auto& c : flagCases) {
        Scenario scenario = emulator::DefaultScenario();
        scenario.record[f::systemStatus] = c.systemStatus;
        scenario.record[f::trayStatus] = c.trayStatus;
        Session session(scenario);
        session.Run({Click(kGetStatus)});
        EXPECT_EQ(session.app.Device().deviceBusy, c.busy) << int{c.systemStatus};
        EXPECT_EQ(session.app.Device().trayIn, c.trayIn) << int{c.trayStatus};
    }
}

TEST(GetDeviceStatus, FailedQueryKeepsTheMirrorOfTheLastSuccess) {
    Scenario scenario = WithReplies({{ReplyKind::Ok, 0}, {ReplyKind::Length, 50}});
    scenario.record[field::leftBinOffset] = 7;
    Session session(scenario);
    session.Run({Click(kGetStatus), Click(kGetStatus)});
    const auto& device = session.app.Device();
    EXPECT_EQ(device.mirror.leftBin, 7);
    EXPECT_EQ(device.statusLength, 50u);  // the buffer holds what the last read gave
    EXPECT_TRUE(session.app.Outcome().AnyFailed());
}

TEST(StatusRecord, ChecksumAndBigEndian) {
    std::array<std::uint8_t, kStatusRecordSize> record{};
    record.fill(0x01);
    record[0] = 0xAA;  // outside the sum
    record[99] = 0x55;
    EXPECT_EQ(StatusChecksum(record), 0x61);
    const std::array<std::uint8_t, 4> bytes{0xFF, 0x00, 0x10, 0x01};
    EXPECT_EQ(ReadBigEndian32(bytes), 0xFF001001u);
}

}  // namespace
}  // namespace orlax::device
