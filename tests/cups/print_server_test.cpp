// Every wait on the print server ends: a server that never answers, one that
// closes the connection, one that cannot be reached and one that stops
// taking a job's data each fail within a few seconds, saying in words what
// happened.
#include <cups/cups.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "cups/cups_queue_service.h"
#include "platform/spooler_errors.h"
#include "cups/fake_print_server.h"
#include "support/loopback_unit.h"

namespace orlax::cups {
namespace {

using Clock = std::chrono::steady_clock;
using testing::FakePrintServer;

constexpr CupsTimes kShortTimes{std::chrono::milliseconds(500), std::chrono::milliseconds(300)};
// A guard against hanging, far above the bounds: not a timing goal.
constexpr auto kGuard = std::chrono::seconds(4);

// CUPS's server for this thread, put back at the end.
class ServerFor {
public:
    explicit ServerFor(const std::string& address) { cupsSetServer(address.c_str()); }
    ~ServerFor() { cupsSetServer(nullptr); }
    ServerFor(const ServerFor&) = delete;
    ServerFor& operator=(const ServerFor&) = delete;
};

enum class Request { FindQueue, ListQueues, StartJob };

struct Case {
    const char* name;
    std::optional<FakePrintServer::Mode> server;  // none: nothing listens
    Request request;
    std::uint32_t code;
    std::string_view words;
};

ServiceError Ask(CupsQueueService& service, Request request) {
    ServiceError error;
    std::vector<std::string> names;
    switch (request) {
        case Request::FindQueue: EXPECT_FALSE(service.FindQueue("orlax", error)); break;
        case Request::ListQueues: EXPECT_FALSE(service.ListLocalQueues(names, error)); break;
        case Request::StartJob: EXPECT_FALSE(service.StartJob("orlax", "Lumetra Command", error)); break;
    }
    return error;
}

TEST(PrintServer, EveryRequestEndsAndSaysWhatHappened) {
    using Mode = FakePrintServer::Mode;
    const Case cases[] = {
        {"silent, queue", Mode::Silent, Request::FindQueue, platform::kErrorServerSilent, "did not respond for 0.3 s"},
        {"silent, list", Mode::Silent, Request::ListQueues, platform::kErrorServerSilent, "did not respond for 0.3 s"},
        {"silent, job", Mode::Silent, Request::StartJob, platform::kErrorServerSilent, "did not respond for 0.3 s"},
        {"closes, queue", Mode::Closes, Request::FindQueue, platform::kErrorServerGone, "closed the connection"},
        {"closes, job", Mode::Closes, Request::StartJob, platform::kErrorServerGone, "closed the connection"},
        {"nothing listens", std::nullopt, Request::FindQueue, platform::kErrorServerGone, "cannot be reached"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<FakePrintServer> server;
        if (c.server) server.emplace(*c.server);
        const ServerFor where(server ? server->Address() : "127.0.0.1:" + std::to_string(testing::ClosedPort()));
        CupsQueueService service(kShortTimes);
        const Clock::time_point began = Clock::now();
        const ServiceError error = Ask(service, c.request);
        EXPECT_LT(Clock::now() - began, kGuard);
        EXPECT_EQ(error.code, c.code) << error.text;
        EXPECT_NE(error.text.find(c.words), std::string::npos) << error.text;
        // No stale system error in place of what happened.
        for (const char* stale : {"Success", "Bad file descriptor"})
            EXPECT_EQ(error.text.find(stale), std::string::npos) << error.text;
    }
}

// The server takes the job and its first data, then no more: the write that
// finds no room fails after the time without progress, and the job is
// cancelled.
TEST(PrintServer, JobDataThatIsNotTakenFails) {
    // The server answers the cancel at once, or has stalled by then and
    // answers again only later: the job is cancelled after the next request
    // it answers, never left to reach the unit.
    for (const bool stalledAtTheCancel : {false, true}) {
        FakePrintServer server(FakePrintServer::Mode::TakesNoData);
        const ServerFor where(server.Address());
        CupsQueueService service(kShortTimes);
        ServiceError error;
        std::unique_ptr<JobStream> job = service.StartJob("orlax", "Lumetra Command", error);
        ASSERT_TRUE(job) << error.text;
        EXPECT_EQ(job->Id(), 7u);
        const std::vector<std::uint8_t> block(1000, 0x5A);
        const Clock::time_point began = Clock::now();
        bool taken = true;
        for (int i = 0; i < 200000 && taken; ++i) taken = job->Write(block, error);  // up to 200 MB
        EXPECT_FALSE(taken);
        EXPECT_LT(Clock::now() - began, kGuard);
        EXPECT_EQ(error.code, platform::kErrorServerSilent) << error.text;
        EXPECT_NE(error.text.find("sending the job's data"), std::string::npos) << error.text;
        if (stalledAtTheCancel) server.SetMode(FakePrintServer::Mode::Silent);
        job.reset();
        EXPECT_LT(Clock::now() - began, kGuard);
        constexpr int kCancelJob = 0x0008;
        EXPECT_EQ(server.Answered(kCancelJob), stalledAtTheCancel ? 0 : 1) << stalledAtTheCancel;
        EXPECT_EQ(service.PendingCancelCount(), stalledAtTheCancel ? 1u : 0u);
        server.SetMode(FakePrintServer::Mode::TakesNoData);
        EXPECT_TRUE(service.FindQueue("orlax", error)) << error.text;
        EXPECT_EQ(server.Answered(kCancelJob), 1) << stalledAtTheCancel;
        EXPECT_EQ(service.PendingCancelCount(), 0u);
    }
}

// orlaxctl from outside, against a print server that never answers: each
// run ends, fails and says why; listing the queues is a failure too, not an
// empty list.
TEST(PrintServer, OrlaxctlEndsAgainstASilentServer) {
    const struct {
        const char* actions;
        const char* says;
    } cases[] = {
        {"queue orlax get-status", "queue 'orlax': the print server at"},
        {"list-queues", "listing the queues: the print server at"},
    };
    FakePrintServer server(FakePrintServer::Mode::Silent);
    for (const auto& c : cases) {
        const std::string command = "CUPS_SERVER=" + server.Address() + " timeout 60 " + ORLAXCTL_PATH + " " +
                                    c.actions + " 2>&1; echo \"exit $?\"";
        const Clock::time_point began = Clock::now();
        FILE* pipe = ::popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string output;
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
        ::pclose(pipe);
        EXPECT_LT(Clock::now() - began, std::chrono::seconds(40)) << c.actions;
        EXPECT_NE(output.find("exit 1"), std::string::npos) << c.actions << "\n" << output;
        EXPECT_NE(output.find("error 7022: " + std::string(c.says)), std::string::npos) << c.actions << "\n" << output;
        EXPECT_NE(output.find("did not respond for 5 s"), std::string::npos) << c.actions << "\n" << output;
    }
}

TEST(IsCupsQueueName, RefusesWhatCupsCannotName) {
    EXPECT_TRUE(IsCupsQueueName("orlax"));
    EXPECT_TRUE(IsCupsQueueName("Line_3-unit.7"));
    EXPECT_TRUE(IsCupsQueueName(std::string(127, 'q')));
    EXPECT_FALSE(IsCupsQueueName(std::string(128, 'q')));
    EXPECT_FALSE(IsCupsQueueName(""));
    EXPECT_FALSE(IsCupsQueueName("Lumetra PRO"));
    EXPECT_FALSE(IsCupsQueueName("a\tb"));
    EXPECT_FALSE(IsCupsQueueName("a/b"));
    EXPECT_FALSE(IsCupsQueueName("a\\b"));
    EXPECT_FALSE(IsCupsQueueName("a#b"));
    EXPECT_FALSE(IsCupsQueueName(std::string("a\0b", 3)));
    EXPECT_FALSE(IsCupsQueueName("a\x7f"));
}

}  // namespace
}  // namespace orlax::cups
