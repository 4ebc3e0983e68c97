#include "emulator/device_model.h"

#include <gtest/gtest.h>

#include "emulator/command_handling.h"
#include "support/packet_hex.h"

namespace orlax::emulator {
namespace {

namespace f = protocol::field;

using testing::CommandJob;

Scenario WithScript(std::vector<ScriptedReply> replies) {
    Scenario s = DefaultScenario();
    s.record[f::systemStatus] = protocol::kStatusIdle;
    s.record[f::checksum] = 0x5A;  // stale: every reply carries a fresh checksum
    s.record[0] = 0x11;
    s.replies = std::move(replies);
    return s;
}

bool ChecksumHolds(const std::vector<std::uint8_t>& reply) {
    if (reply.size() != protocol::kStatusRecordSize) return false;
    return protocol::StatusChecksum(std::span<const std::uint8_t, 100>(reply.data(), 100)) ==
           reply[f::checksum];
}

TEST(DeviceModel, NormalReplyIsTheRecordWithAFreshChecksum) {
    Scenario s = WithScript({});
    for (std::size_t i = 1; i < 98; ++i) s.record[i] = 0x01;
    DeviceModel unit(s);
    const StatusReply reply = unit.ReadStatus();
    ASSERT_FALSE(reply.failed);
    ASSERT_EQ(reply.bytes.size(), 100u);
    EXPECT_EQ(reply.bytes[f::checksum], 0x61);  // 97 x 0x01
    EXPECT_EQ(reply.bytes[0], 0x11);
    EXPECT_EQ(unit.State()[f::checksum], 0x5A);  // the state itself is left as given
}

struct ScriptCase {
    ScriptedReply entry;
    bool failed;
    std::size_t length;
    int status;  // systemStatus of the reply, or -1 when not a whole record
    bool checksumHolds;
};

TEST(DeviceModel, ScriptedRepliesComeFirstOnePerRead) {
    const ScriptCase cases[] = {
        {{ReplyKind::Ok, 0}, false, 100, 'I', true},
        {{ReplyKind::Busy, 0}, false, 100, 'B', true},
        {{ReplyKind::Idle, 0}, false, 100, 'I', true},
        {{ReplyKind::Cover, 0}, false, 100, 'C', true},
        {{ReplyKind::Fail, 0}, true, 0, -1, false},
        {{ReplyKind::Empty, 0}, false, 0, -1, false},
        {{ReplyKind::One, 0}, false, 1, -1, false},
        {{ReplyKind::BadSum, 0}, false, 100, 'I', false},
        {{ReplyKind::Length, 2}, false, 2, -1, false},
        {{ReplyKind::Length, 99}, false, 99, -1, false},
        {{ReplyKind::Length, 101}, false, 101, -1, false},
        {{ReplyKind::Length, 1000}, false, 1000, -1, false},
    };
    for (const ScriptCase& c : cases) {
        Scenario s = WithScript({c.entry});
        s.record[f::systemStatus] = protocol::kStatusIdle;
        DeviceModel unit(s);
        const StatusReply reply = unit.ReadStatus();
        const auto kind = static_cast<int>(c.entry.kind);
        EXPECT_EQ(reply.failed, c.failed) << kind;
        EXPECT_EQ(reply.bytes.size(), c.length) << kind;
        if (c.status >= 0) { EXPECT_EQ(reply.bytes[f::systemStatus], c.status) << kind; }
        EXPECT_EQ(ChecksumHolds(reply.bytes), c.checksumHolds) << kind;
        if (!reply.bytes.empty()) { EXPECT_EQ(reply.bytes[0], 0x11) << kind; }
        // The script is used up: the next read is the normal reply.
        EXPECT_EQ(unit.ScriptedRepliesLeft(), 0u);
        const StatusReply next = unit.ReadStatus();
        EXPECT_TRUE(ChecksumHolds(next.bytes)) << kind;
        EXPECT_EQ(next.bytes[f::systemStatus], 'I') << kind;
    }
}

TEST(DeviceModel, BadSumIsTheChecksumPlusOneAndLengthPadsWithZeros) {
    DeviceModel unit(WithScript({{ReplyKind::BadSum, 0}, {ReplyKind::Length, 150}, {ReplyKind::Ok, 0}}));
    const auto bad = unit.ReadStatus().bytes;
    const auto padded = unit.ReadStatus().bytes;
    const auto good = unit.ReadStatus().bytes;
    EXPECT_EQ(bad[f::checksum], static_cast<std::uint8_t>(good[f::checksum] + 1));
    EXPECT_TRUE(std::equal(good.begin(), good.end(), padded.begin()));
    EXPECT_TRUE(std::all_of(padded.begin() + 100, padded.end(), [](auto b) { return b == 0; }));
}

TEST(DeviceModel, BusyForBusyPollsNormalReadsAfterEachCommand) {
    Scenario s = WithScript({});
    s.busyPolls = 3;
    s.record[f::systemStatus] = protocol::kStatusCoverOpen;
    DeviceModel unit(s);
    EXPECT_EQ(unit.ReadStatus().bytes[f::systemStatus], 'C');  // not busy before a command

    unit.ReceiveJob(CommandJob(0x09));
    for (int read = 0; read < 3; ++read) {
        const auto reply = unit.ReadStatus().bytes;
        EXPECT_EQ(reply[f::systemStatus], 'B') << read;
        EXPECT_TRUE(ChecksumHolds(reply));
    }
    EXPECT_EQ(unit.ReadStatus().bytes[f::systemStatus], 'C');

    // A device file is not a command: no busy time.
    unit.ReceiveJob(std::vector<std::uint8_t>(100, 0x1B));
    EXPECT_EQ(unit.ReadStatus().bytes[f::systemStatus], 'C');
    EXPECT_EQ(unit.DeviceFilesReceived(), 1u);
}

TEST(DeviceModel, ScriptedRepliesOtherThanOkDoNotUseUpBusyTime) {
    Scenario s = WithScript({{ReplyKind::Idle, 0}, {ReplyKind::Empty, 0}, {ReplyKind::Ok, 0}});
    s.busyPolls = 2;
    DeviceModel unit(s);
    unit.ReceiveJob(CommandJob(0x8D));
    EXPECT_EQ(unit.ReadStatus().bytes[f::systemStatus], 'I');
    EXPECT_TRUE(unit.ReadStatus().bytes.empty());
    EXPECT_EQ(unit.BusyReadsLeft(), 2u);
    EXPECT_EQ(unit.ReadStatus().bytes[f::systemStatus], 'B');  // "ok" is a normal read
    EXPECT_EQ(unit.ReadStatus().bytes[f::systemStatus], 'B');
    EXPECT_EQ(unit.ReadStatus().bytes[f::systemStatus], 'I');
}

TEST(DeviceModel, RejectedPacketsLeaveTheUnitIdle) {
    Scenario s = WithScript({});
    s.busyPolls = 5;
    DeviceModel unit(s);
    auto bad = CommandJob(0x09);
    ++bad[7];
    unit.ReceiveJob(bad);
    unit.ReceiveJob(CommandJob(0x42));
    EXPECT_EQ(unit.BusyReadsLeft(), 0u);
    EXPECT_EQ(unit.CommandsObeyed(), 0u);
    EXPECT_EQ(unit.State()[f::errorBits], error_bit::badChecksum | error_bit::unknownCode);
}

}  // namespace
}  // namespace orlax::emulator
