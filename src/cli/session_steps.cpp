#include "cli/session_steps.h"

#include <algorithm>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/burner_app.h"
#include "cli/options.h"
#include "report/status_json.h"

namespace orlax::cli {
namespace {

using headless::ScriptAction;

std::string StepName(const ScriptAction& action) {
    std::string name = action.step ? "step " + std::to_string(action.step) + " " : std::string();
    return name + "'" + action.source + "'";
}

// The steps as written, once each ("queue NAME" is two steps of one action).
template <class Steps>
std::string StepList(const Steps& steps) {
    std::string list;
    std::set<int> named;
    for (const ScriptAction& action : steps) {
        if (action.step && !named.insert(action.step).second) continue;
        list += (list.empty() ? "" : ", ") + StepName(action);
    }
    return list;
}

// The log's lines as one line, for stderr.
std::string OneLine(std::string_view log) {
    std::string line;
    for (std::size_t start = 0; start < log.size();) {
        std::size_t end = log.find("\r\n", start);
        if (end == std::string_view::npos) end = log.size();
        const std::string_view part = log.substr(start, end - start);
        std::string text(part);
        std::replace(text.begin(), text.end(), '\t', ' ');
        if (!text.empty()) line += (line.empty() ? "" : "; ") + text;
        start = end + 2;
    }
    return line;
}

}  // namespace

StepWatch::StepWatch(app::CBurnerApp& application, headless::HeadlessHost& host, std::ostream& err,
                     bool keepGoing)
    : application_(application), host_(host), err_(err), keepGoing_(keepGoing) {
    host_.SetAfterStep([this](const ScriptAction& action) { return AfterStep(action); });
    host_.SetStepFailed([this] { return application_.Outcome().Failures() != seenFailures_; });
}

void StepWatch::Start() {
    seenFailures_ = application_.Outcome().Failures();
    application_.Outcome().TakeCause();
}

bool StepWatch::AfterStep(const ScriptAction& action) {
    auto& outcome = application_.Outcome();
    if (outcome.Failures() == seenFailures_) return true;
    seenFailures_ = outcome.Failures();
    err_ << "orlaxctl: " << StepName(action) << " failed: " << outcome.TakeCause();
    const auto& skipped = host_.SkippedDialogs();
    if (namedSkips_ < skipped.size() && skipped.back().opener.step == action.step) {
        namedSkips_ = skipped.size();
        const auto& dialog = skipped.back();
        if (!dialog.steps.empty())
            err_ << (dialog.closedAsItOpened ? "; the dialog closed as it opened, so its steps did not run: "
                                             : "; the dialog did not open, so its steps did not run: ")
                 << StepList(dialog.steps);
    }
    if (!keepGoing_) {
        err_ << "; the run stopped there";
        if (!host_.Remaining().empty()) err_ << ", not run: " << StepList(host_.Remaining());
    }
    err_ << "\n";
    return keepGoing_;
}

void StepWatch::Finish() {
    const auto& skipped = host_.SkippedDialogs();
    for (; namedSkips_ < skipped.size(); ++namedSkips_) {
        if (skipped[namedSkips_].steps.empty()) continue;
        err_ << "orlaxctl: not run, their dialog was not open: " << StepList(skipped[namedSkips_].steps) << "\n";
    }
    err_.flush();
}

void PrintStatusJson(app::CBurnerApp& application, std::ostream& out) {
    // A link of its own with a log of its own: the query's words stay out
    // of the operator log and stdout.
    operations::OperatorLog quiet;
    device::DeviceLink link({application.Spooler(), application.Clock(), application.Host()}, quiet,
                            application.Device(), application.PrinterName(),
                            application.Link().DeviceDataFolder());
    if (!link.GetDeviceStatus()) {
        application.Outcome().Failed("no valid status came back from the unit (" + OneLine(quiet.LogText()) + ")");
        return;
    }
    out << report::StatusRecordJson(application.Device().Record()) << '\n';
    out.flush();
}

}  // namespace orlax::cli
