// The platform the unit options choose: refusals with their messages and
// nothing left behind, and an emulated unit on its scenario and clock.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "unit_platform/unit_platform.h"
#include "support/temp_dir.h"

namespace orlax::unit_platform {
namespace {

namespace fs = std::filesystem;

class UnitPlatformTest : public ::testing::Test {
protected:
    std::string PathOf(const std::string& name) const { return temp_.PathOf(name); }
    std::string WriteFile(const std::string& name, const std::string& text) const { return temp_.Write(name, text); }

    testing::TempDir temp_{"orlax-unit-platform"};
    const fs::path& dir_ = temp_.Path();
};

TEST_F(UnitPlatformTest, RefusesWhatCannotBeHadAndLeavesNothingBehind) {
    const std::string badJson = WriteFile("bad.json", "{\"queues\": [");
    const std::string badKey = WriteFile("key.json", R"({"busyPolls": -1})");
    const std::string journal = PathOf("journal.txt");
    struct Case {
        UnitChoice choice;
        std::string errorHas;
    };
    const std::vector<Case> cases = {
        {{.emulate = true, .scenarioPath = PathOf("missing.json")}, "missing.json"},
        {{.emulate = true, .scenarioPath = badJson, .journalPath = journal}, "bad.json"},
        {{.emulate = true, .scenarioPath = badKey, .fast = true, .journalPath = journal}, "busyPolls"},
        {{.emulate = true, .journalPath = PathOf("no/such/folder/j.txt")}, "cannot open the journal"},
        {{.emulate = true, .journalPath = dir_.string()}, "cannot open the journal"},
        {{.fast = true}, "--fast needs --emulate"},
        {{.scenarioPath = "", .fast = true, .journalPath = journal}, "--fast needs --emulate"},
        {{.journalPath = journal}, "--journal needs --emulate"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(MakeUnitPlatform(c.choice, error), nullptr) << c.errorHas;
        EXPECT_NE(error.find(c.errorHas), std::string::npos) << error;
        EXPECT_FALSE(fs::exists(journal)) << c.errorHas;
    }
}

TEST_F(UnitPlatformTest, EmulatedUnitRunsOnItsScenarioAndClock) {
    const std::string scenario = WriteFile("line.json", R"({"queues": ["Line 9"]})");
    for (const bool fast : {false, true}) {
        std::string error;
        const auto unit = MakeUnitPlatform(
            {.emulate = true, .scenarioPath = scenario, .fast = fast, .journalPath = PathOf("j.txt")}, error);
        ASSERT_NE(unit, nullptr) << error;
        EXPECT_TRUE(fs::exists(PathOf("j.txt")));
        const std::uint32_t before = unit->Clock().GetTickCount();
        platform::PrinterHandle handle = 0;
        EXPECT_EQ(unit->Spooler().OpenPrinter("Lumetra PRO", &handle, nullptr), 0);
        ASSERT_NE(unit->Spooler().OpenPrinter("Line 9", &handle, nullptr), 0);
        unit->Spooler().ClosePrinter(handle);
        if (fast) {
            // The virtual clock: each spooler call moves it 1 ms, and an
            // hour's pause passes at once.
            EXPECT_EQ(unit->Clock().GetTickCount() - before, 3u);
            unit->Clock().Sleep(3'600'000);
            EXPECT_EQ(unit->Clock().GetTickCount() - before, 3'600'003u);
        }
        EXPECT_EQ(unit->SpoolerFailure(), "");
    }
}

TEST_F(UnitPlatformTest, WithoutEmulateTheSystemSpoolerOnTheRealClock) {
    ASSERT_TRUE(HaveSystemSpooler());  // the test build has CUPS
    std::string error;
    const auto unit = MakeUnitPlatform({.dataRoot = "/"}, error);
    ASSERT_NE(unit, nullptr) << error;
    EXPECT_EQ(error, "");
    // No call has failed yet, so there is no cause to tell.
    EXPECT_EQ(unit->SpoolerFailure(), "");
}

}  // namespace
}  // namespace orlax::unit_platform
