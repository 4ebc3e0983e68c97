// orlaxctl driving the adjustment dialogs with the generic actions.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/run.h"
#include "support/temp_dir.h"

namespace orlax::cli {
namespace {

namespace fs = std::filesystem;

struct Case {
    std::string scenario;  // JSON, or empty for the default unit
    std::vector<std::string> actions;
    int exit;
    std::string out;                // stdout, whole
    std::vector<std::string> jobs;  // the journal's JOB lines
    std::string errPart;            // a part of stderr; empty: stderr is empty
};

std::vector<std::string> JobLines(const fs::path& journal) {
    std::vector<std::string> jobs;
    std::ifstream in(journal);
    for (std::string line; std::getline(in, line);)
        if (line.starts_with("JOB ")) jobs.push_back(line);
    return jobs;
}

TEST(OrlaxctlDialogs, GenericActionsDriveTheDialogs) {
    const auto job = [](const char* hex) { return std::string("JOB \"Lumetra Command\" 8 ") + hex; };
    const std::vector<Case> cases = {
        {"", {"disk-position", "type", "1015", "5", "type", "1001", "-3", "ok"}, kExitOk, "",
         {job("1B040305FD000024")}, ""},
        {"", {"set-offsets", "type", "1029", "-4", "click", "1020", "ok"}, kExitOk, "",
         {job("1B04130000000032"), job("1B04080000000027"), job("1B040802FC000025"),
          job("1B04090000000028"), job("1B048D00000000AC"), job("1B049B00000000BA")},
         ""},
        {R"({"record": {"pickerSwitchOffset": 120}})", {"set-offsets", "type", "1026", "200", "cancel"},
         kExitOk, "XX: 120", {job("1B04130000000032"), job("1B04080000000027"), job("1B040807C80000F6")},
         ""},
        {"", {"disk-position", "cancel", "disk-position", "cancel"}, kExitOk, "", {}, ""},
        {"", {"disk-position", "click", "1020"}, kExitUsage, "", {},
         "'click 1020': the window \"SET DISK POSITION\" has no control 1020"},
        // A script wrong by itself touches nothing.
        {"", {"set-offsets", "focus", "1001"}, kExitUsage, "", {},
         "'focus 1001': the window \"SET OFFSETS\" has no control 1001"},
        {"", {"disk-position", "set-offsets"}, kExitUsage, "", {},
         "'set-offsets': the window \"SET DISK POSITION\" has no control 1011"},
        {R"({"faults": {"open": true}})", {"disk-position", "cancel", "set-offsets", "cancel"}, kExitFailed,
         "Printer Open Error !!\nPrinter Not Online or is busy \n", {},
         "not run: step 3 'set-offsets', step 4 'cancel'"},
    };
    const orlax::testing::TempDir temp("orlaxctl-dialogs");
    const fs::path& dir = temp.Path();
    for (const Case& c : cases) {
        const fs::path journal = dir / "journal.txt";
        fs::remove(journal);
        std::vector<std::string> args{"--emulate", "--fast", "--journal", journal.string()};
        if (!c.scenario.empty()) {
            const fs::path scenario = dir / "scenario.json";
            std::ofstream(scenario) << c.scenario;
            args[0] = "--emulate=" + scenario.string();
        }
        args.insert(args.end(), c.actions.begin(), c.actions.end());
        std::ostringstream out, err;
        const std::string what = c.actions.front() + " ... " + c.actions.back();
        EXPECT_EQ(cli::Run(args, out, err), c.exit) << what << ": " << err.str();
        EXPECT_EQ(out.str(), c.out) << what;
        EXPECT_EQ(JobLines(journal), c.jobs) << what;
        if (c.errPart.empty()) EXPECT_EQ(err.str(), "") << what;
        else EXPECT_NE(err.str().find(c.errPart), std::string::npos) << what << ": " << err.str();
    }
}

}  // namespace
}  // namespace orlax::cli
