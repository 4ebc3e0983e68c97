// Scenario files that the JSON reader itself cannot take: orlaxctl ends
// with its usage status and one line naming the JSON error, never with an
// exception that nothing catches. (Found by the scenario fuzz target.)
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/run.h"
#include "support/data_root.h"

namespace orlax::reliability {
namespace {

TEST(HostileScenario, NumbersBeyondADoubleAreAJsonError) {
    const char* const cases[] = {
        R"({"busyPolls": 1E400})",
        R"({"record": {"lexVersion": -1e400}})",
        R"({"replies": [{"length": 2312E3233}]})",
        R"({"unknownKey": [1, 2, 9e999]})",
    };
    testing::TempDataRoot data;
    const std::string path = data.Root() + "/scenario.json";
    for (const char* text : cases) {
        std::ofstream(path) << text;
        std::ostringstream out, err;
        const std::vector<std::string> args{"--emulate=" + path, "--fast", "get-status"};
        EXPECT_EQ(cli::Run(args, out, err), cli::kExitUsage) << text;
        const std::string message = err.str();
        EXPECT_TRUE(message.starts_with("orlaxctl: " + path + ": invalid JSON: ")) << text << "\n" << message;
        EXPECT_NE(message.find("number overflow"), std::string::npos) << message;
        EXPECT_EQ(message.find('\n'), message.find("\nTry 'orlaxctl --help'.")) << "one line: " << message;
        EXPECT_EQ(out.str(), "") << text;
    }
}

}  // namespace
}  // namespace orlax::reliability
