// orlaxctl's exit status for the operations and the final check, and what
// the emulated unit received, as its journal shows it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/run.h"
#include "emulator/journal.h"
#include "support/data_root.h"
#include "support/passing_unit.h"

namespace orlax::cli {
namespace {

using testing::TempDataRoot;

struct Ctl {
    Ctl() {
        passingScenario = data.Root() + "/passing.json";
        std::ofstream(passingScenario) << testing::kPassingScenarioJson;
        journal = data.Root() + "/journal.txt";
    }
    void PutDeviceFiles() const {
        for (const char* name : {"firm.bin", "MarlithPro.Lod", "fupdate.fzp", "fdefault.fzp", "orlax.prn"})
            data.Put(name, testing::PatternBytes(1200));
    }
    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        args.insert(args.begin(), {"--fast", "--data-root", data.Root(), "--journal", journal});
        return cli::Run(args, out, err);
    }
    std::vector<std::string> JobLines() const {
        std::ifstream in(journal);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            if (line.starts_with("JOB ")) lines.push_back(line);
        return lines;
    }

    TempDataRoot data;
    std::string passingScenario, journal;
    std::ostringstream out, err;
};

TEST(OrlaxctlOperations, ExitStatus) {
    struct Case {
        const char* what;
        bool passingUnit;
        bool files;
        const char* faults;  // scenario faults as JSON, or null
        std::vector<std::string> actions;
        int status;
    };
    const Case cases[] = {
        {"final check of a unit out of tolerance", false, true, nullptr, {"final-check"}, kExitFailed},
        {"final check of a passing unit", true, true, nullptr, {"final-check"}, kExitOk},
        {"passing unit without its factory set-up", true, false, nullptr, {"final-check"}, kExitFailed},
        {"test file sent", false, true, nullptr, {"send-test-file"}, kExitOk},
        {"test file missing", false, false, nullptr, {"send-test-file"}, kExitFailed},
        {"test file, write fails", false, true, R"({"write": true})", {"send-test-file"}, kExitFailed},
        {"test file, short write", false, true, R"({"shortWrite": true})", {"send-test-file"}, kExitFailed},
        {"every download and command", false, true, nullptr,
         {"startup", "firmware-update", "set-factory-defaults", "clear-spits", "calibrate-last-disk",
          "restore-factory", "test-bins"},
         kExitOk},
        {"startup with a file missing", false, false, nullptr, {"startup"}, kExitFailed},
        {"commands to a queue that cannot be opened", false, true, R"({"open": true})",
         {"clear-spits"}, kExitFailed},
        {"a dialog whose opening command is not sent, going on", false, true, R"({"write": true})",
         {"--keep-going", "set-offsets", "click", "1020", "ok", "get-status"}, kExitFailed},
    };
    for (const Case& c : cases) {
        Ctl ctl;
        if (c.files) ctl.PutDeviceFiles();
        std::string scenario = ctl.passingScenario;
        if (c.faults) {
            scenario = ctl.data.Root() + "/faults.json";
            std::ofstream(scenario) << R"({"faults": )" << c.faults << "}";
        }
        std::vector<std::string> args{(c.passingUnit || c.faults) ? "--emulate=" + scenario : "--emulate"};
        args.insert(args.end(), c.actions.begin(), c.actions.end());
        EXPECT_EQ(ctl.Run(args), c.status) << c.what << "\n" << ctl.out.str() << ctl.err.str();
    }
}

TEST(OrlaxctlOperations, PassingFinalCheckInTheJournalAndTheRecord) {
    Ctl ctl;
    ctl.PutDeviceFiles();
    ASSERT_EQ(ctl.Run({"--emulate=" + ctl.passingScenario, "final-check"}), kExitOk) << ctl.err.str();
    const std::vector<std::string> expected{
        R"(JOB "Lumetra Command" 8 1B04170000000036)",
        R"(JOB "Lumetra Command" 8 1B04020100000022)",
        R"(JOB "Lumetra Command" 8 1B04020200000023)",
        emulator::JobLine("Lumetra Command", testing::PatternBytes(1200)),
        R"(JOB "Lumetra Command" 8 1B049C00000000BB)",
    };
    EXPECT_EQ(ctl.JobLines(), expected);
    const std::string record = ctl.data.Read("ORLAXPRO.log");
    EXPECT_TRUE(record.starts_with("000001,Not Set,")) << record;
    EXPECT_TRUE(record.ends_with(",Not Set,099,0000001234,0000001240,0000,0000,0000,0000,0000,0000,"
                                 "0000,0000,0000,0000,000,000,000,200,000,180,\r\n"))
        << record;
    EXPECT_NE(ctl.out.str().find(ctl.data.PathOf("ORLAXPRO.log") + "    File updated !! \n"),
              std::string::npos);
}

}  // namespace
}  // namespace orlax::cli
