#include "links/socket/network_link.h"

#include <gtest/gtest.h>

#include <numeric>

#include "support/loopback_unit.h"

namespace orlax::links::socket {
namespace {

using testing::ClosedPort;
using testing::LoopbackUnit;
using namespace std::chrono_literals;

std::vector<std::uint8_t> Counting(std::size_t length) {
    std::vector<std::uint8_t> bytes(length);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    return bytes;
}

Deadline In(std::chrono::milliseconds time) { return std::chrono::steady_clock::now() + time; }

TEST(StatusRequest, IsTheRequestWithItsChecksum) {
    EXPECT_EQ(protocol::MakeStatusRequest(0x00), (protocol::CommandPacket{0x1B, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1F}));
    EXPECT_EQ(protocol::MakeStatusRequest(0x01), (protocol::CommandPacket{0x1B, 0x04, 0x00, 0x01, 0x00, 0x00, 0x00, 0x20}));
    // The sum wraps: 0x1F + 0xFF = 0x11E.
    EXPECT_EQ(protocol::MakeStatusRequest(0xFF), (protocol::CommandPacket{0x1B, 0x04, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x1E}));
}

// Replies of every length the host keeps arrive whole, and the unit got the
// request packet; one byte more than 1000 is a failure.
TEST(ExchangeStatus, KeepsRepliesUpTo1000Bytes) {
    struct Case {
        std::size_t length;
        LinkResult result;
    };
    const Case cases[] = {{0, LinkResult::Ok},    {1, LinkResult::Ok},
                          {100, LinkResult::Ok},  {1000, LinkResult::Ok},
                          {1001, LinkResult::ReplyTooLong}, {70000, LinkResult::ReplyTooLong}};
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> sent = Counting(c.length);
        LoopbackUnit unit(LoopbackUnit::Reply(sent));
        ReplyBuffer reply{};
        const Outcome outcome = ExchangeStatus({"127.0.0.1", unit.Port()}, protocol::MakeStatusRequest(0), In(5s), reply);
        ASSERT_EQ(outcome.result, c.result) << c.length << ": " << outcome.detail;
        if (c.result == LinkResult::Ok) {
            ASSERT_EQ(outcome.length, c.length);
            EXPECT_TRUE(std::equal(sent.begin(), sent.end(), reply.begin())) << c.length;
        }
        const auto requests = unit.Requests();
        ASSERT_EQ(requests.size(), 1u);
        const protocol::CommandPacket packet = protocol::MakeStatusRequest(0);
        EXPECT_EQ(requests[0], std::vector<std::uint8_t>(packet.begin(), packet.end()));
    }
}

TEST(ExchangeStatus, NamesEachFailure) {
    struct Case {
        const char* what;
        std::function<Outcome(ReplyBuffer&)> exchange;
        LinkResult result;
    };
    LoopbackUnit silent(LoopbackUnit::Silent());
    LoopbackUnit reset(LoopbackUnit::Reset());
    testing::UnreachableUnit unreachable;
    const Case cases[] = {
        {"the unit does not take the connection",
         [&](ReplyBuffer& r) { return ExchangeStatus({"127.0.0.1", unreachable.Port()}, protocol::MakeStatusRequest(0), In(100ms), r); },
         LinkResult::TimedOut},
        {"nothing listens",
         [](ReplyBuffer& r) { return ExchangeStatus({"127.0.0.1", ClosedPort()}, protocol::MakeStatusRequest(0), In(5s), r); },
         LinkResult::Refused},
        {"the unit answers nothing",
         [&](ReplyBuffer& r) { return ExchangeStatus({"127.0.0.1", silent.Port()}, protocol::MakeStatusRequest(0), In(100ms), r); },
         LinkResult::TimedOut},
        {"the deadline has passed before the unit answers",
         [&](ReplyBuffer& r) { return ExchangeStatus({"127.0.0.1", silent.Port()}, protocol::MakeStatusRequest(0), In(-1ms), r); },
         LinkResult::TimedOut},
        {"the unit resets the connection",
         [&](ReplyBuffer& r) { return ExchangeStatus({"127.0.0.1", reset.Port()}, protocol::MakeStatusRequest(0), In(5s), r); },
         LinkResult::NetworkError},
        {"the host name does not resolve",
         [](ReplyBuffer& r) { return ExchangeStatus({"no-such-unit.invalid", 9100}, protocol::MakeStatusRequest(0), In(5s), r); },
         LinkResult::HostUnknown},
    };
    for (const Case& c : cases) {
        ReplyBuffer reply{};
        const Outcome outcome = c.exchange(reply);
        EXPECT_EQ(outcome.result, c.result) << c.what << ": " << outcome.detail;
        EXPECT_FALSE(outcome.detail.empty()) << c.what;
    }
}

// A refusal that has already happened is reported as such even when the
// deadline has passed: the host learns why the unit is not there.
TEST(ExchangeStatus, ReportsARefusalPastTheDeadline) {
    ReplyBuffer reply{};
    const Outcome outcome = ExchangeStatus({"127.0.0.1", ClosedPort()}, protocol::MakeStatusRequest(0), In(-1ms), reply);
    EXPECT_EQ(outcome.result, LinkResult::Refused) << outcome.detail;
}

}  // namespace
}  // namespace orlax::links::socket
