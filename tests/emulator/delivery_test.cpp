// The emulated spooler's delivery, as a real one does it: a job is queued
// when its document ends and reaches the unit later, or never; a paused
// queue takes none. The tool must wait for each job before it goes on.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "emulator/journal.h"
#include "support/data_root.h"
#include "support/passing_unit.h"
#include "platform/spooler_errors.h"
#include "support/session.h"
#include "support/temp_dir.h"

namespace orlax::emulator {
namespace {

using clocks::VirtualClock;

Scenario WithDelivery(Scenario scenario, Delivery delivery) {
    scenario.delivery = delivery;
    return scenario;
}

TEST(DeliveryScenario, KeysAreReadAndChecked) {
    struct Case {
        std::string json;
        Delivery expected;  // when the parse succeeds
        std::string error;  // else the start of the message
    };
    const Case cases[] = {
        {R"({"deliveryDelayMs": 250})", {250, false, true}, ""},
        {R"({"deliveryDelayMs": 600000, "queuePaused": true, "unitTakesJobs": false})", {600000, true, false}, ""},
        {R"({"deliveryDelayMs": -1})", {}, "deliveryDelayMs: expected an integer from 0 to 600000"},
        {R"({"deliveryDelayMs": 600001})", {}, "deliveryDelayMs: expected"},
        {R"({"deliveryDelayMs": "5"})", {}, "deliveryDelayMs: expected"},
        {R"({"queuePaused": 1})", {}, "queuePaused: expected true or false"},
        {R"({"unitTakesJobs": "no"})", {}, "unitTakesJobs: expected true or false"},
        {R"({"deliveryDelay": 5})", {}, "deliveryDelay: unknown key"},
    };
    for (const Case& c : cases) {
        Scenario scenario;
        std::string error;
        const bool parsed = ParseScenario(c.json, scenario, error);
        EXPECT_EQ(parsed, c.error.empty()) << c.json << ": " << error;
        if (parsed) {
            EXPECT_EQ(scenario.delivery, c.expected) << c.json;
        } else {
            EXPECT_TRUE(error.starts_with(c.error)) << c.json << ": " << error;
        }
    }
}

// One 8-byte job through the spooler's calls, then the wait for it.
TEST(DeliveryScenario, JobsAreQueuedAndDeliveredOnTime) {
    struct Case {
        const char* name;
        Delivery delivery;
        bool started;          // StartDocPrinter took the job
        bool deliveredAtEnd;   // the unit had it as its document ended
        int waited;            // WaitForJob's result
        std::uint32_t waitMs;  // virtual time the wait took, at least
        std::uint32_t error;   // GetLastError after a failed call
    };
    const std::uint32_t bound = static_cast<std::uint32_t>(platform::JobDeliveryBoundMs(8));
    const Case cases[] = {
        {"at once", {0, false, true}, true, true, 1, 0, 0},
        {"a delay", {700, false, true}, true, false, 1, 700, 0},
        {"a delay past the bound", {bound + 10, false, true}, true, false, 0, bound, platform::kErrorJobNotCompleted},
        {"never", {0, false, false}, true, false, 0, bound, platform::kErrorJobNotCompleted},
        {"a paused queue", {0, true, true}, false, false, 0, 0, platform::kErrorQueuePaused},
    };
    const std::uint8_t packet[] = {0x1B, 0x04, 0x0B, 0, 0, 0, 0, 0x2A};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VirtualClock clock;
        EmulatedSpooler spooler(WithDelivery(DefaultScenario(), c.delivery), &clock);
        platform::PrinterHandle handle = 0;
        ASSERT_EQ(spooler.OpenPrinter("Lumetra PRO", &handle, nullptr), 1);
        const std::uint32_t id = spooler.StartDocPrinter(handle, {"Lumetra Command", "RAW"});
        EXPECT_EQ(id != 0, c.started);
        if (!c.started) {
            EXPECT_EQ(spooler.GetLastError(), c.error);
            EXPECT_EQ(spooler.QueuedJobs(), 0u);
            continue;
        }
        std::uint32_t written = 0;
        ASSERT_EQ(spooler.StartPagePrinter(handle), 1);
        ASSERT_EQ(spooler.WritePrinter(handle, packet, &written), 1);
        ASSERT_EQ(spooler.EndPagePrinter(handle), 1);
        ASSERT_EQ(spooler.EndDocPrinter(handle), 1);
        EXPECT_EQ(spooler.Jobs().size(), c.deliveredAtEnd ? 1u : 0u);
        const std::uint32_t before = clock.GetTickCount();
        EXPECT_EQ(spooler.WaitForJob(handle, id), c.waited);
        EXPECT_GE(clock.GetTickCount() - before, c.waitMs);
        EXPECT_EQ(spooler.Jobs().size(), c.waited ? 1u : 0u);
        if (!c.waited) {
            EXPECT_EQ(spooler.GetLastError(), c.error);
        }
        // A cancelled job stays away however long one waits.
        clock.Advance(c.delivery.delayMs + bound);
        ASSERT_EQ(spooler.ClosePrinter(handle), 1);
        EXPECT_EQ(spooler.Jobs().size(), c.waited ? 1u : 0u);
        EXPECT_EQ(spooler.QueuedJobs(), 0u);
        EXPECT_EQ(spooler.CancelledJobs(), c.waited ? 0u : 1u);
    }
}

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// What the unit saw of one session, in order: its journal.
std::string UnitJournal(const Scenario& scenario, headless::Script script, const std::string& dataRoot,
                        bool& failed) {
    const testing::TempDir dir("orlax-delivery");
    const std::string path = dir.PathOf("journal.txt");
    {
        Journal journal(path);
        VirtualClock clock;
        EmulatedSpooler spooler(scenario, &clock, &journal);
        std::ostringstream out, messages;
        headless::HeadlessHost host({}, out, messages);
        app::CBurnerApp app({spooler, clock, host, nullptr}, app::AppConfig{dataRoot});
        for (auto& action : script) host.Append(std::move(action));
        app.InitInstance();
        failed = app.Outcome().AnyFailed();
        EXPECT_EQ(spooler.QueuedJobs(), 0u) << "a job was left queued, to reach the unit later";
    }
    std::string text = ReadAll(path);
    return text;
}

// A unit busy for a few reads after each command must see them between the
// commands however late the spooler delivers: a tool that went on before
// the delivery would read the status of a unit that has not yet got the
// command, and send the next one at once.
TEST(DeliveryScenario, TheUnitSeesTheSameExchangesWhateverTheDelay) {
    const testing::TempDataRoot data;
    data.Put("orlax.prn", std::span<const std::uint8_t>(testing::PatternBytes(2500)));
    struct Case {
        const char* name;
        headless::Script script;
        std::string_view seen;  // part of what the unit sees
    };
    const Case cases[] = {
        {"clear-spits, restore-factory",
         {testing::Click(1014), testing::Click(1018), testing::Click(1014)},
         "JOB \"Lumetra Command\" 8 1B040B000000002A\nSTATUS 100\nSTATUS 100\nSTATUS 100\nSTATUS 100\nJOB"},
        {"send-test-file, calibrate",
         {testing::Click(1009), testing::Click(1015)},
         " 2500 sha256:"},
    };
    Scenario busy = DefaultScenario();
    busy.busyPolls = 3;
    for (const auto& [name, script, seen] : cases) {
        SCOPED_TRACE(name);
        bool failed = false;
        const std::string atOnce = UnitJournal(busy, script, data.Root(), failed);
        EXPECT_FALSE(failed);
        EXPECT_NE(atOnce.find(seen), std::string::npos) << atOnce;
        for (const std::uint32_t delay : {1u, 299u, 2500u}) {
            const std::string late = UnitJournal(WithDelivery(busy, {delay, false, true}), script, data.Root(), failed);
            EXPECT_FALSE(failed) << delay;
            EXPECT_EQ(late, atOnce) << "delivery delay " << delay;
        }
    }
}

// A final check whose own commands or factory set-up did not reach the unit
// has not finished it: no record, exit 1, and the unit is not told it passed.
TEST(DeliveryScenario, FinalCheckWhoseJobsDidNotArriveIsNoPass) {
    struct Case {
        const char* name;
        Delivery delivery;
        std::size_t failedWait;  // the WaitForJob that fails (1-based), 0 for none
        bool recorded;
    };
    const Case cases[] = {
        {"delivered late", {400, false, true}, 0, true},
        {"unit takes no job", {0, false, false}, 0, false},
        {"queue paused", {0, true, true}, 0, false},
        {"FinalCheckStart lost", {0, false, true}, 1, false},
        {"second ClearSpits lost", {0, false, true}, 3, false},
        {"factory set-up lost", {0, false, true}, 4, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const testing::TempDataRoot data;
        data.Put("fdefault.fzp", std::span<const std::uint8_t>(testing::PatternBytes(1500)));
        testing::Session session(WithDelivery(testing::PassingScenario(), c.delivery), data.Root());
        if (c.failedWait) session.spooler.FailNthCall(SpoolerCall::WaitJob, c.failedWait);
        const std::string log = session.Run({testing::Click(1019)});
        EXPECT_EQ(data.Exists("ORLAXPRO.log"), c.recorded) << log;
        EXPECT_EQ(session.app.Outcome().AnyFailed(), !c.recorded) << log;
        EXPECT_EQ(log.ends_with("No record written !!\r\n"), !c.recorded) << log;
        const auto commands = session.Commands();
        const bool toldPassed = !commands.empty() && commands.back()[2] == 0x9C;
        EXPECT_EQ(toldPassed, c.recorded);
        EXPECT_EQ(session.spooler.QueuedJobs(), 0u);
    }
}

}  // namespace
}  // namespace orlax::emulator
