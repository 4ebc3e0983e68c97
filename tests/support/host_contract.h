// What every dialog host must do the same way, whatever drives it: focus
// moves send the losing field's kill-focus notification before the click
// that moved it, in the template's tab order; input that comes while a
// handler runs is taken after the handler returns. Typed tests: a host's
// test file instantiates HostContract with its bed (tests/headless for the
// scripted host, tests/gui for the Qt host).
//
// A bed is default-constructible and gives:
//   platform::DialogHost& Host();
//   int Run(platform::Dialog& dialog, headless::Script script);
//       runs the dialog modally, the script's steps done in order on it; a
//       window whose steps are done closes with Cancel
//   void Input(const headless::ScriptAction& step);
//       the step as input arriving now, from inside a handler
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "headless/script.h"
#include "platform/dialog.h"
#include "res/dialog_templates.h"

namespace orlax::testing {

// The disk position template (OK 1, Cancel 2, edits 1015 and 1001) with a
// message map that records what it hears.
class ContractDialog : public platform::MappedDialog<ContractDialog> {
public:
    explicit ContractDialog(platform::DialogHost& host) : MappedDialog(res::kDiskPositionTemplate, host) {}

    static std::span<const platform::MessageEntry<ContractDialog>> MessageMap() {
        static constexpr std::array<platform::MessageEntry<ContractDialog>, 2> kMap{{
            {platform::kEnKillFocus, 1015, &ContractDialog::OnKillFocusVertical},
            {platform::kEnKillFocus, 1001, &ContractDialog::OnKillFocusHorizontal},
        }};
        return kMap;
    }
    bool OnInitDialog() override {
        SetDlgItemText(1015, " 01");
        SetDlgItemText(1001, " 02");
        return true;
    }
    void OnOK() override {
        events.push_back("ok " + GetDlgItemText(1015) + "|" + GetDlgItemText(1001));
        if (duringOk) duringOk();
        events.push_back("ok done");
        if (endOnOk) Dialog::OnOK();
    }
    void OnCancel() override {
        events.push_back("cancel");
        Dialog::OnCancel();
    }
    void OnKillFocusVertical() { events.push_back("kill 1015 " + GetDlgItemText(1015)); }
    void OnKillFocusHorizontal() { events.push_back("kill 1001 " + GetDlgItemText(1001)); }

    std::vector<std::string> events;
    std::function<void()> duringOk;
    bool endOnOk = true;
};

template <typename Bed>
class HostContract : public ::testing::Test {
protected:
    Bed bed_;
};

TYPED_TEST_SUITE_P(HostContract);

TYPED_TEST_P(HostContract, FocusMovesSendKillFocusBeforeTheClick) {
    using Kind = headless::ScriptAction::Kind;
    struct Case {
        const char* what;
        headless::Script script;
        int result;
        std::vector<std::string> events;
    };
    const std::vector<Case> cases = {
        {"cancel at once: the focus starts on OK, which has no handler",
         {{Kind::Click, 2, {}, "cancel"}},
         platform::kIdCancel,
         {"cancel"}},
        {"type then OK: the edit hears its loss first",
         {{Kind::Type, 1015, "5", "type"}, {Kind::Click, 1, {}, "ok"}},
         platform::kIdOk,
         {"kill 1015 5", "ok 5| 02", "ok done"}},
        {"moving between edits",
         {{Kind::Type, 1015, "7", "type"}, {Kind::Type, 1001, "-3", "type"}, {Kind::Click, 2, {}, "cancel"}},
         platform::kIdCancel,
         {"kill 1015 7", "kill 1001 -3", "cancel"}},
        {"focus on the control that has it changes nothing",
         {{Kind::Focus, 1015, {}, "focus"}, {Kind::Focus, 1015, {}, "focus"}, {Kind::Focus, 1001, {}, "focus"},
          {Kind::Click, 2, {}, "cancel"}},
         platform::kIdCancel,
         {"kill 1015  01", "kill 1001  02", "cancel"}},
        {"tab follows the template order and wraps",
         {{Kind::Tab, 0, {}, "tab"}, {Kind::Tab, 0, {}, "tab"}, {Kind::Tab, 0, {}, "tab"},
          {Kind::Tab, 0, {}, "tab"}, {Kind::Tab, 0, {}, "tab"}, {Kind::Click, 2, {}, "cancel"}},
         platform::kIdCancel,
         {"kill 1015  01", "kill 1001  02", "cancel"}},
    };
    for (const Case& c : cases) {
        ContractDialog dialog(this->bed_.Host());
        EXPECT_EQ(this->bed_.Run(dialog, c.script), c.result) << c.what;
        EXPECT_EQ(dialog.events, c.events) << c.what;
    }
}

TYPED_TEST_P(HostContract, InputDuringAHandlerIsTakenAfterIt) {
    using Kind = headless::ScriptAction::Kind;
    ContractDialog dialog(this->bed_.Host());
    dialog.endOnOk = false;
    dialog.duringOk = [&] {
        this->bed_.Input({Kind::Type, 1001, "7", "type"});
        this->bed_.Input({Kind::Click, 2, {}, "cancel"});
    };
    const int result = this->bed_.Run(dialog, {{Kind::Type, 1015, "5", "type"}, {Kind::Click, 1, {}, "ok"}});
    EXPECT_EQ(result, platform::kIdCancel);
    EXPECT_EQ(dialog.events,
              (std::vector<std::string>{"kill 1015 5", "ok 5| 02", "ok done", "kill 1001 7", "cancel"}));
}

REGISTER_TYPED_TEST_SUITE_P(HostContract, FocusMovesSendKillFocusBeforeTheClick, InputDuringAHandlerIsTakenAfterIt);

}  // namespace orlax::testing
