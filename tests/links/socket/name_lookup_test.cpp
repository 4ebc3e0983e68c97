// The unit's and the print server's names are looked up by a deadline,
// whatever the name service does.
#include "links/socket/name_lookup.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace orlax::links::socket {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

TEST(NameLookup, EndsByItsDeadline) {
    // A name service that takes `delay` and then answers with the loopback
    // address, or fails.
    // The count outlives the test's loop: a lookup given up on goes on.
    using Count = std::shared_ptr<std::atomic<int>>;
    const auto service = [](std::chrono::milliseconds delay, int status, Count calls) {
        return [delay, status, calls](const char*, const char* port, const addrinfo* hints, addrinfo** found) {
            ++*calls;
            std::this_thread::sleep_for(delay);
            return status != 0 ? status : ::getaddrinfo("127.0.0.1", port, hints, found);
        };
    };
    struct Case {
        const char* name;
        std::string host;
        std::chrono::milliseconds delay;
        int status;
        LookupResult result;
        int calls;
    };
    const Case cases[] = {
        {"a quick answer", "unit.example", 0ms, 0, LookupResult::Ok, 1},
        {"no such name", "unit.example", 0ms, EAI_NONAME, LookupResult::NotFound, 1},
        {"a name service that does not answer", "unit.example", 3000ms, 0, LookupResult::TimedOut, 1},
        {"a numeric address needs no name service", "127.0.0.1", 3000ms, 0, LookupResult::Ok, 0},
        {"nor does an IPv6 one", "::1", 3000ms, 0, LookupResult::Ok, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Count calls = std::make_shared<std::atomic<int>>(0);
        const Clock::time_point began = Clock::now();
        const Lookup lookup = LookUpBy(c.host, 9100, began + 200ms, service(c.delay, c.status, calls));
        EXPECT_LT(Clock::now() - began, 1500ms);  // a guard against hanging, not a timing goal
        EXPECT_EQ(lookup.result, c.result) << lookup.detail;
        EXPECT_EQ(lookup.addresses != nullptr, c.result == LookupResult::Ok);
        if (c.result != LookupResult::TimedOut) {  // a given-up one may not have begun
            EXPECT_EQ(calls->load(), c.calls);
        }
        if (c.result != LookupResult::Ok) {
            EXPECT_NE(lookup.detail.find(c.host), std::string::npos) << lookup.detail;
        }
    }
}

}  // namespace
}  // namespace orlax::links::socket
