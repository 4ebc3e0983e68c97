// DISK POSITION driven through the main window and the headless host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_test_support.h"

namespace orlax::testing {
namespace {

namespace f = protocol::field;
constexpr int kDiskPosition = 1010;
constexpr int kVertical = 1015;
constexpr int kHorizontal = 1001;

TEST(DiskPosition, OkSendsBothFieldsUnderTheRuleCancelSendsNothing) {
    struct Case {
        const char* what;
        int vertical, horizontal;  // the unit's values
        headless::Script script;
        std::vector<protocol::CommandPacket> sent;
    };
    const std::vector<Case> cases = {
        {"typed values", 0, 0,
         {Type(kVertical, "5"), Type(kHorizontal, "-3"), Click(1)},
         Packets({"1B 04 03 05 FD 00 00 24"})},
        {"OK without a change re-sends the values shown", -3, 7, {Click(1)},
         Packets({"1B 04 03 FD 07 00 00 26"})},
        {"device values outside the range are shown but OK sends 0 for them", 50, -100, {Click(1)},
         Packets({"1B 04 03 00 00 00 00 22"})},
        {"a value in range stays beside one out of range", 50, 4, {Click(1)},
         Packets({"1B 04 03 00 04 00 00 26"})},
        {"only four characters count", 0, 0, {Type(kVertical, "12345"), Type(kHorizontal, "-3.9x"), Click(1)},
         Packets({"1B 04 03 00 FD 00 00 1F"})},
        {"OK with the focus still in an edit reads it all the same", 0, 0,
         {Type(kHorizontal, "+32"), Click(1)}, Packets({"1B 04 03 00 20 00 00 42"})},
        {"cancel after editing", 1, 2, {Type(kVertical, "9"), Click(2)}, {}},
        {"the end of the script closes the dialog without sending", 1, 2, {Type(kVertical, "9")}, {}},
    };
    for (const Case& c : cases) {
        Session session(ScenarioWith({{f::imageVertical, c.vertical}, {f::imageHorizontal, c.horizontal}}));
        headless::Script script{Click(kDiskPosition)};
        script.insert(script.end(), c.script.begin(), c.script.end());
        session.Run(script);
        EXPECT_EQ(session.Commands(), c.sent) << c.what;
        EXPECT_FALSE(session.host.HasUsageError()) << c.what << ": " << session.host.UsageError();
        EXPECT_TRUE(session.NothingLeftOpen()) << c.what;
        EXPECT_FALSE(session.app.Outcome().AnyFailed()) << c.what;
    }
}

// Leaving a field takes its value into the mirror and sends nothing; Cancel
// does not undo it.
TEST(DiskPosition, LeavingAFieldOnlyChangesTheMirror) {
    struct Case {
        const char* typed;
        int mirror;
    };
    const Case cases[] = {{"7", 7}, {"-32", -32}, {"33", 0}, {"x", 0}};
    for (const Case& c : cases) {
        Session session(ScenarioWith({{f::imageVertical, -100}}));
        session.Run({Click(kDiskPosition), Type(kVertical, c.typed), Focus(kHorizontal), Click(2)});
        EXPECT_TRUE(session.Commands().empty()) << c.typed;
        EXPECT_EQ(session.app.Device().mirror.verticalOffset, c.mirror) << c.typed;
        EXPECT_EQ(session.app.Device().mirror.horizontalOffset, 0) << c.typed;
    }
}

// A failed status read at either button: the query's text, the gate's
// line, no dialog (the log box of the main window still takes the focus).
TEST(AdjustmentButtons, FailedStatusReadOpensNoDialog) {
    emulator::Scenario closed = emulator::DefaultScenario();
    closed.faults.open = true;
    emulator::Scenario failing = emulator::DefaultScenario();
    failing.replies.assign(3000, {emulator::ReplyKind::Fail});
    const std::string gate = "Printer Not Online or is busy \r\n";
    const std::string readFailed =
        "No Status Data Returned\r\nRead failed: GetLastError returned 31\r\n\r\n" + gate;

    for (const int button : {1010, 1011}) {
        Session open(closed);
        const std::string log = open.Run({Click(button), Focus(1000)});
        EXPECT_EQ(log, "Printer Open Error !!\r\n" + gate) << button;
        EXPECT_FALSE(open.host.HasUsageError()) << button << ": " << open.host.UsageError();
        EXPECT_TRUE(open.Jobs().empty());
        EXPECT_TRUE(open.app.Outcome().AnyFailed());

        Session read(failing);
        const std::string text = read.Run({Click(button), Focus(1000)});
        ASSERT_GT(text.size(), readFailed.size()) << button;
        EXPECT_EQ(text.substr(0, text.size() - readFailed.size()),
                  std::string(text.size() - readFailed.size(), '.')) << button;
        EXPECT_EQ(text.substr(text.size() - readFailed.size()), readFailed) << button;
        EXPECT_FALSE(read.host.HasUsageError()) << button << ": " << read.host.UsageError();
        EXPECT_TRUE(read.Jobs().empty());
        EXPECT_TRUE(read.NothingLeftOpen());

        // The same script on a unit that answers opens the dialog, which has no control 1000.
        Session answering;
        answering.Run({Click(button), Focus(1000)});
        EXPECT_TRUE(answering.host.HasUsageError()) << button;
    }
}

// A busy unit still gets the dialog; OK then waits for it.
TEST(DiskPosition, BusyUnitGetsTheDialog) {
    emulator::Scenario busy = emulator::DefaultScenario();
    busy.replies = {{emulator::ReplyKind::Busy}, {emulator::ReplyKind::Busy}, {emulator::ReplyKind::Busy}};
    Session session(busy);
    session.Run({Click(kDiskPosition), Type(kVertical, "-5"), Click(1)});
    EXPECT_EQ(session.Commands(), Packets({"1B 04 03 FB 00 00 00 1D"}));
    EXPECT_EQ(session.clock.Sleeps(), (std::vector<std::uint32_t>{300, 300}));
}

}  // namespace
}  // namespace orlax::testing
