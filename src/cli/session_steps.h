// What orlaxctl says of the steps it ran: the step where an operation
// failed and why, the steps that did not run, and the status-json action.
#pragma once

#include <ostream>

#include "headless/headless_host.h"

namespace orlax::app {
class CBurnerApp;
}

namespace orlax::cli {

// Watches the steps of one session: after a step in which an operation
// failed, names the step and the cause on `err` and stops the session
// unless `keepGoing`.
class StepWatch {
public:
    StepWatch(app::CBurnerApp& application, headless::HeadlessHost& host, std::ostream& err, bool keepGoing);

    // Failures before this call (the main window's start) belong to no step.
    void Start();
    // After the session: the steps written for a dialog that did not open
    // and not named yet.
    void Finish();

private:
    bool AfterStep(const headless::ScriptAction& action);

    app::CBurnerApp& application_;
    headless::HeadlessHost& host_;
    std::ostream& err_;
    bool keepGoing_;
    int seenFailures_ = 0;
    std::size_t namedSkips_ = 0;
};

// status-json: reads the status with the query of GET STATUS, without a
// word in the log, and writes the record as JSON on `out`; on failure a
// failed operation whose cause carries the query's own words.
void PrintStatusJson(app::CBurnerApp& application, std::ostream& out);

}  // namespace orlax::cli
