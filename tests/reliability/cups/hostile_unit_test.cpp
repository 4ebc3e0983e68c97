// The status query over the CUPS spooler, on the real clock, against network
// units that misbehave: each query ends within its 2000 ms budget with the
// texts of a failed query, and a unit that fails is asked again no faster
// than the spooler's pace. (A unit that refuses, takes no connection or
// answers nothing is in tests/cups.)
#include <gtest/gtest.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <sstream>
#include <string>
#include <vector>

#include "app/burner_app.h"
#include "headless/headless_host.h"
#include "clocks/real_clock.h"
#include "cups/cups_spooler.h"
#include "cups/fake_queue_service.h"
#include "support/loopback_unit.h"
#include "platform/spooler_errors.h"
#include "support/session.h"

namespace orlax::reliability {
namespace {

using orlax::testing::LoopbackUnit;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kQueueSelector = 1001;
constexpr int kGetStatus = 1012;
// The budget is 2000 ms; the bound leaves room for a loaded machine.
constexpr auto kQueryBound = 3000ms;
// Failed reads are paced at 100 ms, so the budget holds at most 21 of
// them (one more may start in the last milliseconds).
constexpr std::size_t kMostFailedReads = 2000 / 100 + 2;

// Sends one byte every 100 ms until the host hangs up or the test ends (at
// most a minute).
LoopbackUnit::Answer Drip() {
    return [](int fd, int stopFd) {
        for (int sent = 0; sent < 600; ++sent) {
            const std::uint8_t byte = 0x1B;
            if (::send(fd, &byte, 1, MSG_NOSIGNAL) != 1) return;
            pollfd stop{stopFd, POLLIN, 0};
            if (::poll(&stop, 1, 100) != 0) return;
        }
    };
}

struct Query {
    std::string log;
    Clock::duration took{};
    std::size_t handlesLeft = 0;
};

// GET STATUS on the queue "unit" whose device is the unit at `port`.
Query GetStatus(std::uint16_t port) {
    auto service = std::make_unique<orlax::testing::FakeQueueService>();
    service->queues = {{"unit", "socket://127.0.0.1:" + std::to_string(port)}};
    // The dead units are the test's own: no lock on a queue name another run may use.
    cups::CupsSpooler cups(std::move(service), {}, {}, cups::LockOptions{.folder = {}, .wait = {}, .program = {}});
    clocks::RealClock clock;
    std::ostringstream listOut, messageOut;
    headless::HeadlessHost host({orlax::testing::Type(kQueueSelector, "unit"),
                                 orlax::testing::Leave(kQueueSelector), orlax::testing::Click(kGetStatus)},
                                listOut, messageOut);
    app::CBurnerApp app({cups, clock, host}, app::AppConfig{"/nonexistent-data-root"});
    const Clock::time_point start = Clock::now();
    app.InitInstance();
    return {std::string(app.Log().LogText()), Clock::now() - start, cups.OpenHandles()};
}

std::string FailureTail(std::uint32_t code) {
    std::string tail = "No Status Data Returned\r\n";
    if (code != 0) tail += "Read failed: GetLastError returned " + std::to_string(code) + "\r\n";
    return tail + "\r\nNo status returned !!\r\n";
}

TEST(HostileUnit, EveryStatusQueryEndsWithinItsBudget) {
    struct Case {
        const char* what;
        LoopbackUnit::Answer answer;
        std::uint32_t code;  // the failed read's code; 0: the reads succeed, with no data
    };
    const Case cases[] = {
        {"takes the request and closes at once", LoopbackUnit::Reply({}), 0},
        {"answers one byte every 100 ms, forever", Drip(), platform::kErrorTimedOut},
        {"answers 1 MiB", LoopbackUnit::Reply(std::vector<std::uint8_t>(1 << 20, 0x42)),
         platform::kErrorReplyTooLong},
        {"resets the connection", LoopbackUnit::Reset(), platform::kErrorNetwork},
        {"accepts and never answers", LoopbackUnit::Silent(), platform::kErrorTimedOut},
    };
    for (const Case& c : cases) {
        LoopbackUnit unit(c.answer);
        const Query query = GetStatus(unit.Port());
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(query.took).count();
        std::printf("[ hostile  ] unit that %s: %lld ms, %zu connections\n", c.what,
                    static_cast<long long>(ms), unit.Requests().size());
        EXPECT_LT(query.took, kQueryBound) << c.what;
        EXPECT_EQ(query.handlesLeft, 0u) << c.what;
        EXPECT_LE(unit.Requests().size(), kMostFailedReads) << c.what << ": the unit was flooded";

        const std::string start = "Getting Printer Status !!\r\n";
        ASSERT_EQ(query.log.rfind(start, 0), 0u) << c.what << ": " << query.log;
        const std::size_t dots = query.log.find_first_not_of('.', start.size()) - start.size();
        EXPECT_EQ(query.log.substr(start.size() + dots), FailureTail(c.code)) << c.what;
        if (c.code == 0)
            EXPECT_EQ(dots, 0u) << c.what;
        else
            EXPECT_TRUE(dots >= 1 && dots <= kMostFailedReads) << c.what << ": " << dots << " failed reads";
    }
}

}  // namespace
}  // namespace orlax::reliability
