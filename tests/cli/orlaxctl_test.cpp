#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/run.h"
#include "support/record_builder.h"
#include "support/temp_dir.h"

namespace orlax::cli {
namespace {

namespace fs = std::filesystem;

class Orlaxctl : public ::testing::Test {
protected:
    std::string WriteFile(const std::string& name, const std::string& text) { return temp_.Write(name, text); }

    int Run(std::vector<std::string> args) {
        out_.str("");
        err_.str("");
        return cli::Run(args, out_, err_);
    }

    testing::TempDir temp_{"orlaxctl-test"};
    const fs::path& dir_ = temp_.Path();
    std::ostringstream out_, err_;
};

std::string WithoutCr(std::string_view text) {
    std::string result;
    for (const char c : text)
        if (c != '\r') result += c;
    return result;
}

TEST_F(Orlaxctl, GetStatusPrintsTheDumpAndTheReferenceReport) {
    const auto scenario = WriteFile("reference.json", testing::kContractExampleScenario);
    ASSERT_EQ(Run({"--emulate=" + scenario, "--fast", "get-status"}), kExitOk) << err_.str();
    const std::string out = out_.str();
    EXPECT_TRUE(out.starts_with("Getting Printer Status !!\n00 00 00 03 01 00 00 01 36 ")) << out;
    EXPECT_TRUE(out.ends_with(WithoutCr(testing::kReferenceReport))) << out;
    EXPECT_EQ(err_.str(), "");

    // The log as it stands at the end, line ends as the log holds them.
    ASSERT_EQ(Run({"--emulate=" + scenario, "--fast", "--final-log", "--crlf", "get-status"}), kExitOk);
    const std::string log = out_.str();
    ASSERT_EQ(log.size(), 4 * 77 + 818u);
    EXPECT_EQ(log.substr(4 * 77), testing::kReferenceReport);
}

TEST_F(Orlaxctl, FailuresAndUsageErrorsGiveTheirExitStatus) {
    const auto badJson = WriteFile("bad.json", "{\"queues\": [");
    const auto badKey = WriteFile("key.json", R"({"record": {"leftBinOfset": 1}})");
    const auto offline = WriteFile("offline.json", R"({"faults": {"open": true}})");
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* errContains;
    };
    const Case cases[] = {
        {{"--emulate", "--fast", "queue", "NoSuch", "get-status"}, kExitFailed, ""},
        {{"--emulate", "--fast", "click", "1012"}, kExitOk, ""},
        {{"--emulate", "--fast", "launch"}, kExitUsage, "unknown action 'launch'"},
        {{"--emulate", "--fast", "--verbose", "get-status"}, kExitUsage, "unknown option '--verbose'"},
        {{"--fast", "get-status"}, kExitUsage, "--fast needs --emulate"},
        {{"--journal", "j.txt", "get-status"}, kExitUsage, "--journal needs --emulate"},
        {{"--emulate", "type", "1001"}, kExitUsage, "action 'type' needs a text"},
        {{"--emulate", "click", "abc"}, kExitUsage, "'abc' is not a control id"},
        {{"--emulate", "queue"}, kExitUsage, "needs a queue name"},
        {{"--emulate=" + badJson, "get-status"}, kExitUsage, "bad.json"},
        {{"--emulate=" + badKey, "get-status"}, kExitUsage, "leftBinOfset"},
        {{"--emulate", "--fast", "click", "4242"}, kExitUsage, "has no control 4242"},
        {{"--emulate", "--fast", "cancel", "get-status"}, kExitUsage, "'get-status': the main window is closed"},
        {{"--emulate", "--fast", "type", "1000", "x"}, kExitUsage, "does not take typed text"},
        // The unit offline at the gate: the dialog's steps run nowhere, and the failure shows.
        {{"--emulate=" + offline, "--fast", "disk-position", "type", "1015", "5", "ok"}, kExitFailed,
         "step 1 'disk-position' failed: no valid status came back from the unit; the dialog did not "
         "open, so its steps did not run: step 2 'type 1015 5', step 3 'ok'; the run stopped there\n"},
        {{"--emulate=" + offline, "--fast", "get-status", "queue", "Q", "list-queues"}, kExitFailed,
         "the run stopped there, not run: step 2 'queue Q', step 3 'list-queues'\n"},
        {{"--emulate", "--fast", "--version"}, kExitOk, ""},
        {{"--emulate", "--fast", "disk-position", "click", "1020"}, kExitUsage, "has no control 1020"},
        // Values after "=" or as the next word; none for the options without one.
        {{"--emulate", "--fast", "--data-root=" + dir_.string(), "--journal=" + (dir_ / "j").string(), "get-status"},
         kExitOk, ""},
        {{"--emulate", "--journal=", "get-status"}, kExitUsage, "orlaxctl: option --journal= needs a value\n"},
        {{"--emulate", "--data-root"}, kExitUsage, "orlaxctl: option --data-root needs a value\n"},
        {{"--emulate=", "get-status"}, kExitUsage, "orlaxctl: option --emulate= needs a scenario file\n"},
        {{"--emulate", "--fast=1", "get-status"}, kExitUsage, "orlaxctl: unknown option '--fast=1'\n"},
        {{"--emulate", "--fast", "--journal=" + (dir_ / "no" / "j").string(), "get-status"}, kExitUsage,
         "cannot open the journal"},
        {{"--emulate", "--fast", "--record-db", "host=/run/db password=secret", "get-status"}, kExitUsage,
         "--record-db: the connection string holds a password"},
        {{"--emulate", "--fast", "--record-db=postgresql://station:secret@db/line", "get-status"}, kExitUsage,
         "holds a password"},
        {{"--emulate", "--fast", "--record-db=line", "get-status"}, kExitUsage, "not a connection string"},
        {{"--emulate", "--fast", "record-sync"}, kExitUsage, "record-sync needs a line database"},
    };
    for (const auto& c : cases) {
        std::string joined;
        for (const auto& a : c.args) joined += a + " ";
        EXPECT_EQ(Run(c.args), c.status) << joined << err_.str();
        EXPECT_NE(err_.str().find(c.errContains), std::string::npos) << joined << err_.str();
    }
}

TEST_F(Orlaxctl, QueueSelectionIsPrintedAsItHappens) {
    ASSERT_EQ(Run({"--emulate", "--fast", "queue", "NoSuch", "get-status"}), kExitFailed);
    EXPECT_EQ(out_.str(),
              "New Printer Name Selected:  NoSuch\n"
              "Getting Printer Status !!\nPrinter Open Error !!\nNo status returned !!\n");
}

TEST_F(Orlaxctl, ListQueuesAndTheErrorBox) {
    const auto two = WriteFile("two.json", R"({"queues": ["Line 1", "Line 2"]})");
    ASSERT_EQ(Run({"--emulate=" + two, "list-queues"}), kExitOk);
    EXPECT_EQ(out_.str(), "Lumetra PRO\nLine 1\nLine 2\n");

    const auto none = WriteFile("none.json", R"({"queues": []})");
    ASSERT_EQ(Run({"--emulate=" + none, "--fast", "list-queues", "get-status"}), kExitFailed);
    EXPECT_TRUE(err_.str().starts_with("KIVOLAN: Error enumerating Printers. Check if any are installed.\n"))
        << err_.str();
    EXPECT_TRUE(out_.str().starts_with("Lumetra PRO\nGetting Printer Status !!\nPrinter Open Error !!\n"));
}

TEST_F(Orlaxctl, JournalRecordsEveryExchange) {
    const auto journal = (dir_ / "journal.txt").string();
    const auto scenario = WriteFile("s.json", R"({"replies": ["one", "fail", "ok"]})");
    ASSERT_EQ(Run({"--emulate=" + scenario, "--fast", "--journal", journal, "get-status"}), kExitOk);
    std::ifstream in(journal);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "STATUS 1\nSTATUS FAIL\nSTATUS 100\n");

    EXPECT_EQ(Run({"--emulate", "--journal", (dir_ / "no" / "such" / "j").string(), "get-status"}),
              kExitUsage);
}

// The installed program, as a production line script runs it.
TEST_F(Orlaxctl, ProgramRunsAsAProcess) {
    const std::string command = std::string(ORLAXCTL_PATH) + " --emulate --fast get-status 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[512];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    const int status = ::pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(out.find("SYSTEM STATUS: I   IDLE.\n"), std::string::npos) << out;
    EXPECT_EQ(out.find('\r'), std::string::npos);
}

}  // namespace
}  // namespace orlax::cli
