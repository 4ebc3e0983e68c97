// SET OFFSETS driven through the main window and the headless host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_test_support.h"

namespace orlax::testing {
namespace {

namespace f = protocol::field;
using Sleeps = std::vector<std::uint32_t>;

constexpr int kSetOffsets = 1011;
constexpr int kLeftBin = 1014;
constexpr int kPickerSwitch = 1026;
const char* const kOffsetsSetup = "1B 04 13 00 00 00 00 32";
const char* const kLeftBinZero = "1B 04 08 00 00 00 00 27";

struct DialogRun {
    std::vector<protocol::CommandPacket> sent;
    Sleeps sleeps;
    std::string log;
};

// Opens SET OFFSETS, runs `script` in it, then the end of the script closes it.
DialogRun RunSetOffsets(const emulator::Scenario& scenario, headless::Script script) {
    Session session(scenario);
    script.push_front(Click(kSetOffsets));
    const std::string log = session.Run(std::move(script));
    EXPECT_FALSE(session.host.HasUsageError()) << session.host.UsageError();
    EXPECT_TRUE(session.NothingLeftOpen());
    return {session.Commands(), session.clock.Sleeps(), log};
}

TEST(SetOffsets, CancelAtOnceSendsOffsetsSetupThenTheLeftBinOffset) {
    const std::pair<int, const char*> cases[] = {
        {2, "1B 04 08 00 02 00 00 29"},
        {-100, kLeftBinZero},  // shown as "-100", replaced by 0
        {-32, "1B 04 08 00 E0 00 00 07"},
    };
    for (const auto& [leftBin, packet] : cases) {
        const DialogRun run = RunSetOffsets(ScenarioWith({{f::leftBinOffset, leftBin}}), {Click(2)});
        EXPECT_EQ(run.sent, Packets({kOffsetsSetup, packet})) << leftBin;
        EXPECT_TRUE(run.sleeps.empty());
    }
}

// Each field sends its value under its index as it loses the focus. Typing
// into another field first takes the focus from LEFT BIN, which sends 0.
TEST(SetOffsets, EachFieldSendsItsIndexAndValueOnLeaving) {
    struct Case {
        int edit;
        const char* typed;
        std::vector<protocol::CommandPacket> after;  // what follows the left bin offset
        Sleeps sleeps;
    };
    const std::vector<Case> cases = {
        {1016, "3", Packets({"1B 04 08 01 03 00 00 2B"}), {}},
        {1029, "-4", Packets({"1B 04 08 02 FC 00 00 25"}), {}},
        {1017, "32", Packets({"1B 04 08 03 20 00 00 4A"}), {}},
        {1015, "33", Packets({"1B 04 08 04 00 00 00 2B"}), {}},
        {1018, "-1.5", Packets({"1B 04 08 05 FF 00 00 2B"}), {}},
        {1025, "abc", Packets({"1B 04 08 06 00 00 00 2D"}), {}},
        {kPickerSwitch, "200", Packets({"1B 04 08 07 C8 00 00 F6"}), {}},
        {1028, "-7", Packets({"1B 04 08 08 F9 00 00 28", "1B 04 09 00 00 00 00 28",
                              "1B 04 96 00 00 00 00 B5", "1B 04 97 00 00 00 00 B6"}),
         {2000}},
    };
    for (const Case& c : cases) {
        const DialogRun run = RunSetOffsets(emulator::DefaultScenario(), {Type(c.edit, c.typed), Click(2)});
        std::vector<protocol::CommandPacket> expected = Packets({kOffsetsSetup, kLeftBinZero});
        expected.insert(expected.end(), c.after.begin(), c.after.end());
        EXPECT_EQ(run.sent, expected) << c.edit;
        EXPECT_EQ(run.sleeps, c.sleeps) << c.edit;
    }
    const DialogRun leftBin = RunSetOffsets(emulator::DefaultScenario(), {Type(kLeftBin, "-5"), Click(2)});
    EXPECT_EQ(leftBin.sent, Packets({kOffsetsSetup, "1B 04 08 00 FB 00 00 22"}));
}

// Tab through every control: each field, in tab order, sends the value it
// was filled with; the arm home field adds its move.
TEST(SetOffsets, TabbingThroughSendsEveryFieldAsFilled) {
    const emulator::Scenario scenario = ScenarioWith({
        {f::leftBinOffset, 1}, {f::recorderOffset, -2}, {f::recorder2Offset, 3}, {f::printerOffset, -4},
        {f::rightBinOffset, 5}, {f::hookOffset, -6}, {f::trayOutOffset, 7}, {f::pickerSwitchOffset, 200},
        {f::armHomeOffset, -9},
    });
    headless::Script script;
    for (int i = 0; i < 19; ++i) script.push_back(Tab());  // round to LEFT BIN
    const DialogRun run = RunSetOffsets(scenario, script);
    EXPECT_EQ(run.sent, Packets({
                            kOffsetsSetup,
                            "1B 04 08 00 01 00 00 28",  // left bin
                            "1B 04 08 01 FE 00 00 26",  // recorder upper
                            "1B 04 08 03 FC 00 00 26",  // printer
                            "1B 04 08 04 05 00 00 30",  // right bin
                            "1B 04 08 05 FA 00 00 26",  // hook
                            "1B 04 08 06 07 00 00 34",  // tray out
                            "1B 04 08 07 C8 00 00 F6",  // disc switch, 200 unlimited
                            "1B 04 08 08 F7 00 00 26",  // arm home
                            "1B 04 09 00 00 00 00 28", "1B 04 96 00 00 00 00 B5", "1B 04 97 00 00 00 00 B6",
                            "1B 04 08 02 03 00 00 2C",  // recorder lower
                        }));
    EXPECT_EQ(run.sleeps, Sleeps{2000});
    EXPECT_EQ(run.log, "XX: 200");
}

TEST(SetOffsets, ButtonsRunTheirSequencesAfterTheFieldThatHadTheFocus) {
    const char* const prepare = "1B 04 09 00 00 00 00 28";
    const char* const finish = "1B 04 9B 00 00 00 00 BA";
    struct Case {
        int button;
        std::vector<protocol::CommandPacket> sequence;
        Sleeps sleeps;
    };
    const std::vector<Case> cases = {
        {1020, Packets({prepare, "1B 04 8D 00 00 00 00 AC", finish}), {1000}},
        {1021, Packets({prepare, "1B 04 94 00 00 00 00 B3", "1B 04 8F 00 00 00 00 AE", finish}), {2000, 1000}},
        {1030, Packets({prepare, "1B 04 94 00 00 00 00 B3", "1B 04 A3 00 00 00 00 C2", finish}), {2000, 1000}},
        {1022, Packets({prepare, "1B 04 93 00 00 00 00 B2", "1B 04 8E 00 00 00 00 AD", finish}), {2000, 1000}},
        {1023, Packets({prepare, "1B 04 90 00 00 00 00 AF", finish}), {1000}},
        {1024, Packets({prepare, "1B 04 96 00 00 00 00 B5", "1B 04 97 00 00 00 00 B6"}), {3000}},
        {1019, Packets({prepare, "1B 04 92 00 00 00 00 B1"}), {}},
        {1027, Packets({prepare, "1B 04 93 00 00 00 00 B2"}), {}},  // tray in
    };
    for (const Case& c : cases) {
        const DialogRun run =
            RunSetOffsets(emulator::DefaultScenario(), {Type(kLeftBin, "-5"), Click(c.button), Click(1)});
        std::vector<protocol::CommandPacket> expected = Packets({kOffsetsSetup, "1B 04 08 00 FB 00 00 22"});
        expected.insert(expected.end(), c.sequence.begin(), c.sequence.end());
        EXPECT_EQ(run.sent, expected) << c.button;
        EXPECT_EQ(run.sleeps, c.sleeps) << c.button;
    }
}

// TEST decides on the tray flag as its own status read leaves it.
TEST(SetOffsets, TrayTestFollowsTheTrayFlag) {
    const std::pair<int, const char*> cases[] = {
        {'I', "1B 04 93 00 00 00 00 B2"},
        {'D', "1B 04 93 00 00 00 00 B2"},
        {'O', "1B 04 94 00 00 00 00 B3"},
        {0, "1B 04 94 00 00 00 00 B3"},
    };
    for (const auto& [tray, packet] : cases) {
        const DialogRun run = RunSetOffsets(ScenarioWith({{f::trayStatus, tray}}), {Click(1027), Click(2)});
        EXPECT_EQ(run.sent, Packets({kOffsetsSetup, kLeftBinZero, "1B 04 09 00 00 00 00 28", packet})) << tray;
    }
}

// The disc switch field has no range limit; its value travels as the low 8
// bits. Each leave logs the unit's value from before that change, with no
// line end. The field is left twice: the second time it reads what the
// first wrote back.
TEST(SetOffsets, DiscSwitchValuesAndItsLogLine) {
    struct Case {
        const char* typed;
        const char* first;
        const char* second;
        const char* log;
    };
    const Case cases[] = {
        {"200", "1B 04 08 07 C8 00 00 F6", "1B 04 08 07 C8 00 00 F6", "XX: 120XX: 200"},
        {"300", "1B 04 08 07 2C 00 00 5A", "1B 04 08 07 2C 00 00 5A", "XX: 120XX:  44"},
        {"-1", "1B 04 08 07 FF 00 00 2D", "1B 04 08 07 FF 00 00 2D", "XX: 120XX: 255"},
        // "24464" is shown; leaving again reads only "2446".
        {"9e4", "1B 04 08 07 90 00 00 BE", "1B 04 08 07 8E 00 00 BC", "XX: 120XX: 144"},
    };
    for (const Case& c : cases) {
        const DialogRun run = RunSetOffsets(ScenarioWith({{f::pickerSwitchOffset, 120}}),
                                      {Type(kPickerSwitch, c.typed), Focus(kLeftBin), Focus(kPickerSwitch),
                                       Focus(kLeftBin), Click(2)});
        EXPECT_EQ(run.sent, Packets({kOffsetsSetup, kLeftBinZero, c.first, kLeftBinZero, c.second,
                                     kLeftBinZero}))
            << c.typed;
        EXPECT_EQ(run.log, c.log) << c.typed;
    }
}

// No step looks at the result of the one before: with every job failing,
// the sequence still reads, waits and tries each command.
TEST(SetOffsets, FailingStepsDoNotStopASequence) {
    emulator::Scenario scenario = emulator::DefaultScenario();
    scenario.faults.write = true;
    Session session(scenario);
    session.Run({Click(kSetOffsets), Click(1021), Click(2)});
    EXPECT_TRUE(session.Commands().empty());
    EXPECT_EQ(session.clock.Sleeps(), (Sleeps{2000, 1000}));
    // OffsetsSetup, the left bin offset and the sequence's four commands each
    // try a job; each reads the status first, and so do the gate and the
    // sequence's own status read.
    EXPECT_EQ(session.spooler.Calls(emulator::SpoolerCall::Write), 6u);
    EXPECT_EQ(session.spooler.Calls(emulator::SpoolerCall::GetData), 8u);
    EXPECT_TRUE(session.NothingLeftOpen());
    EXPECT_TRUE(session.app.Outcome().AnyFailed());
}

}  // namespace
}  // namespace orlax::testing
