#include "headless/headless_host.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "res/dialog_templates.h"
#include "support/host_contract.h"

namespace orlax::headless {

using namespace platform;
namespace {

using Kind = ScriptAction::Kind;

// The disk position template, recording what it hears: the host contract's dialog.
using RecordingDialog = orlax::testing::ContractDialog;

struct ScriptRun {
    int result;
    std::vector<std::string> events;
    std::string error;
};

ScriptRun RunScript(Script script) {
    std::ostringstream out, err;
    HeadlessHost host(std::move(script), out, err);
    RecordingDialog dialog(host);
    const int result = dialog.DoModal();
    return {result, dialog.events, host.UsageError()};
}

// The dialog host contract, with the script's steps as the input.
class HeadlessBed {
public:
    DialogHost& Host() { return host_; }
    int Run(Dialog& dialog, Script script) {
        for (auto& step : script) host_.Append(std::move(step));
        return dialog.DoModal();
    }
    void Input(const ScriptAction& step) { host_.Append(step); }

private:
    std::ostringstream out_, err_;
    HeadlessHost host_{{}, out_, err_};
};

TEST(HeadlessHost, TheEndOfTheScriptClosesTheWindowWithoutNotifications) {
    const ScriptRun run = RunScript({{Kind::Type, 1015, "9", "type"}});
    EXPECT_EQ(run.result, kIdCancel);
    EXPECT_EQ(run.events, std::vector<std::string>{});
    EXPECT_EQ(run.error, "");
}

TEST(HeadlessHost, ActionsTheWindowCannotTakeAreUsageErrors) {
    struct Case {
        ScriptAction action;
        const char* error;
    };
    const Case cases[] = {
        {{Kind::Click, 1012, {}, "get-status"},
         "'get-status': the window \"SET DISK POSITION\" has no control 1012"},
        {{Kind::Type, 1, "x", "type 1 x"}, "'type 1 x': control 1 does not take typed text"},
        {{Kind::ListItems, 1001, {}, "list-queues"}, "'list-queues': control 1001 has no list"},
    };
    for (const auto& c : cases) {
        const ScriptRun run = RunScript({c.action, {Kind::Click, 1, {}, "ok"}});
        EXPECT_EQ(run.error, c.error);
        EXPECT_EQ(run.result, -1);
        EXPECT_TRUE(run.events.empty()) << "nothing after the error runs";
    }
}

TEST(HeadlessHost, ComboListAndSelection) {
    const auto* main = res::FindDialogTemplate(res::kMainWindowTemplate);
    ASSERT_NE(main, nullptr);
    std::ostringstream out, err;
    HeadlessHost host({}, out, err);
    HeadlessWindow window(*main, host);
    EXPECT_EQ(window.ComboInsertString(1001, 0, "Lumetra PRO"), 0);
    EXPECT_EQ(window.ComboInsertString(1001, 1, "B"), 1);
    EXPECT_EQ(window.ComboInsertString(1001, 1, "A"), 1);  // at an index: not sorted
    EXPECT_EQ(window.ComboInsertString(1001, 5, "X"), -1);
    EXPECT_EQ(window.ComboInsertString(1000, 0, "X"), -1);  // not a combo box
    EXPECT_EQ(window.ComboItems(1001), (std::vector<std::string>{"Lumetra PRO", "A", "B"}));
    EXPECT_EQ(window.ComboSetCurSel(1001, 2), 2);
    EXPECT_EQ(window.GetItemText(1001), "B");
    EXPECT_EQ(window.ComboSetCurSel(1001, 3), -1);
    EXPECT_EQ(window.GetItemText(1001), "B");
    EXPECT_EQ(window.GetItemText(1012), "GET STATUS");
}

TEST(HeadlessHost, MessageBoxesGoToTheMessageStream) {
    std::ostringstream out, err;
    HeadlessHost host({}, out, err);
    EXPECT_EQ(host.MessageBox("Error opening file/x", "Error", kMbOk), kIdOk);
    EXPECT_EQ(err.str(), "Error: Error opening file/x\n");
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
}

TEST(HeadlessHost, MissingTemplateCannotRun) {
    std::ostringstream out, err;
    HeadlessHost host({}, out, err);
    Dialog about(100, host);
    EXPECT_EQ(about.DoModal(), -1);
}

}  // namespace
}  // namespace orlax::headless

namespace orlax::testing {
INSTANTIATE_TYPED_TEST_SUITE_P(Headless, HostContract, headless::HeadlessBed);
}  // namespace orlax::testing
