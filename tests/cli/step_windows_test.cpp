// orlaxctl runs a step only in the window it was written for: a dialog's
// steps never reach the main window when the dialog did not open, the run
// stops at the first failed operation, and --keep-going goes on with the
// main window's steps only.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/run.h"
#include "support/data_root.h"

namespace orlax::cli {
namespace {

namespace fs = std::filesystem;

// A unit whose status read at a dialog's gate comes back 25 bytes long.
constexpr const char* kGateFails = R"({"record":{"firmwareVersion":"Not Set"},"replies":[{"length":25}]})";
// A unit that answers the gate, then not the status read of the next command.
constexpr const char* kOpeningFails = R"({"replies": ["ok", {"length": 25}]})";

struct Outcome {
    explicit Outcome(const std::string& scenario, std::vector<std::string> options, std::vector<std::string> actions) {
        data.Put("fdefault.fzp", "factory defaults");
        const std::string scenarioPath = data.Root() + "/scenario.json";
        std::ofstream(scenarioPath) << scenario;
        const std::string journalPath = data.Root() + "/journal.txt";
        std::vector<std::string> args{"--emulate=" + scenarioPath, "--fast", "--journal", journalPath,
                                      "--data-root", data.Root()};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), actions.begin(), actions.end());
        status = cli::Run(args, out, err);
        std::ifstream in(journalPath);
        std::stringstream text;
        text << in.rdbuf();
        journal = text.str();
    }
    testing::TempDataRoot data;
    std::ostringstream out, err;
    int status = -1;
    std::string journal;
};

TEST(StepWindows, ADialogsStepsRunNowhereWhenItDidNotOpen) {
    struct Case {
        std::vector<std::string> actions;
    };
    // Each of these, on the main window, would move the arm, reset the unit,
    // write a record or change the queue.
    const Case cases[] = {
        {{"set-offsets", "click", "1019", "cancel"}}, {{"set-offsets", "click", "1014", "cancel"}},
        {{"set-offsets", "click", "1015", "cancel"}}, {{"set-offsets", "click", "1016", "cancel"}},
        {{"set-offsets", "click", "1017", "cancel"}}, {{"set-offsets", "click", "1018", "ok"}},
        {{"disk-position", "click", "1015", "ok"}},   {{"disk-position", "type", "1001", "X", "cancel"}},
        {{"click", "1011", "tab", "click", "1019", "cancel"}},  {{"disk-position", "cancel"}},
    };
    for (const Case& c : cases) {
        std::string what;
        for (const auto& word : c.actions) what += word + " ";
        for (const bool keepGoing : {false, true}) {
            std::vector<std::string> actions = c.actions;
            actions.push_back("get-status");
            Outcome run(kGateFails, keepGoing ? std::vector<std::string>{"--keep-going"} : std::vector<std::string>{},
                    actions);
            EXPECT_EQ(run.status, kExitFailed) << what << run.err.str();
            // The gate's read, then with --keep-going the last get-status.
            EXPECT_EQ(run.journal, keepGoing ? "STATUS 25\nSTATUS 100\n" : "STATUS 25\n") << what;
            EXPECT_FALSE(run.data.Exists("ORLAXPRO.log")) << what;
            EXPECT_EQ(run.out.str().find("New Printer Name"), std::string::npos) << what;
            EXPECT_NE(run.err.str().find("failed: no valid status came back from the unit; the dialog did not open"),
                      std::string::npos)
                << what << run.err.str();
            EXPECT_EQ(run.err.str().find("the run stopped there") != std::string::npos, !keepGoing) << what;
        }
    }
}

TEST(StepWindows, TheRunStopsAtTheFirstFailedOperation) {
    struct Case {
        const char* scenario;
        std::vector<std::string> options;
        std::vector<std::string> actions;
        std::string journal;
        std::string err;
    };
    const Case cases[] = {
        // A failure inside a dialog: its remaining steps and the main window's stop. The
        // status read of the move's PrepareMove fails (after the gate, OffsetsSetup and the
        // left bin offset that the click's focus move sends).
        {R"({"replies": ["ok", "ok", "ok", {"length": 25}]})", {},
         {"set-offsets", "click", "1020", "type", "1029", "-4", "ok", "get-status"},
         // The button's whole sequence runs, as it does not look at its sends; nothing after it.
         "STATUS 100\nSTATUS 100\nJOB \"Lumetra Command\" 8 1B04130000000032\n"
         "STATUS 100\nJOB \"Lumetra Command\" 8 1B04080000000027\nSTATUS 25\n"
         "STATUS 100\nJOB \"Lumetra Command\" 8 1B048D00000000AC\nSTATUS 100\n"
         "STATUS 100\nJOB \"Lumetra Command\" 8 1B049B00000000BA\n",
         "orlaxctl: step 2 'click 1020' failed: no valid status came back from the unit, so a command was not "
         "sent; the run stopped there, not run: step 3 'type 1029 -4', step 4 'ok', step 5 'get-status'\n"},
        // --keep-going: every failure is named, and the steps go on.
        {R"({"faults": {"open": true}})", {"--keep-going"}, {"get-status", "clear-spits"}, "",
         "orlaxctl: step 1 'get-status' failed: no valid status came back from the unit\n"
         "orlaxctl: step 2 'clear-spits' failed: no valid status came back from the unit, so a command was "
         "not sent\n"},
        {"{}", {}, {"send-test-file", "get-status"}, "",
         "Error: Error opening file"},
        // A dialog whose opening command is not sent: the opener is named, the
        // dialog closes at once (its Cancel's field offset unsent) and none of
        // its steps runs; with --keep-going the main window's next step runs.
        {kOpeningFails, {}, {"set-offsets", "click", "1020", "ok", "get-status"}, "STATUS 100\nSTATUS 25\n",
         "orlaxctl: step 1 'set-offsets' failed: no valid status came back from the unit, so a command was not "
         "sent; the dialog closed as it opened, so its steps did not run: step 2 'click 1020', step 3 'ok'; the "
         "run stopped there, not run: step 4 'get-status'\n"},
        {kOpeningFails, {"--keep-going"}, {"set-offsets", "click", "1020", "ok", "get-status"},
         "STATUS 100\nSTATUS 25\nSTATUS 100\n",
         "orlaxctl: step 1 'set-offsets' failed: no valid status came back from the unit, so a command was not "
         "sent; the dialog closed as it opened, so its steps did not run: step 2 'click 1020', step 3 'ok'\n"},
        {R"({"faults": {"write": true}})", {}, {"set-offsets", "type", "1014", "5", "cancel", "get-status"},
         "STATUS 100\nSTATUS 100\nJOB \"Lumetra Command\" 0 \n",
         "orlaxctl: step 1 'set-offsets' failed: a command could not be sent to the unit; the dialog closed as it "
         "opened, so its steps did not run: step 2 'type 1014 5', step 3 'cancel'; the run stopped there"},
        // A dialog's closing command not sent: the ok or cancel step is named.
        {kOpeningFails, {}, {"disk-position", "type", "1015", "5", "ok", "get-status"}, "STATUS 100\nSTATUS 25\n",
         "orlaxctl: step 3 'ok' failed: no valid status came back from the unit, so a command was not sent; the "
         "run stopped there, not run: step 4 'get-status'\n"},
        {R"({"replies": ["ok", "ok", {"length": 25}]})", {}, {"set-offsets", "cancel", "get-status"},
         "STATUS 100\nSTATUS 100\nJOB \"Lumetra Command\" 8 1B04130000000032\nSTATUS 25\n",
         "orlaxctl: step 2 'cancel' failed: no valid status came back from the unit, so a command was not sent; "
         "the run stopped there, not run: step 3 'get-status'\n"},
    };
    for (const Case& c : cases) {
        Outcome run(c.scenario, c.options, c.actions);
        EXPECT_EQ(run.status, kExitFailed) << c.actions.front() << run.err.str();
        if (!c.journal.empty()) {
            EXPECT_EQ(run.journal, c.journal) << run.err.str();
        }
        EXPECT_NE(run.err.str().find(c.err), std::string::npos) << run.err.str();
    }
    // A missing device file stops the run before the status read.
    Outcome missing("{}", {}, {"send-test-file", "get-status"});
    EXPECT_EQ(missing.journal.find("STATUS"), std::string::npos) << missing.journal;
}

}  // namespace
}  // namespace orlax::cli
