#include "operations/maintenance.h"

#include <string_view>

#include "device/device_link.h"
#include "operations/context.h"
#include "operations/operator_log.h"
#include "operations/outcome.h"
#include "platform/clock.h"
#include "platform/progress.h"
#include "report/status_report.h"

namespace orlax::operations {
namespace {

using protocol::CommandCode;

constexpr std::string_view kCalibrateSent =
    "Calibrate Last Disk Position Command Sent to ORLAX PRO \r\n";

constexpr std::string_view kCheckingBins = "Checking # of Disks in bins !!\r\n";
constexpr std::string_view kGettingStatus = "Getting Printer Status !!\r\n";

}  // namespace

bool ClearSpitCounters(const Context& context) {
    const bool first = context.outcome.Check(context.link.SendCommand(CommandCode::ClearSpits, 1));
    const bool second = context.outcome.Check(context.link.SendCommand(CommandCode::ClearSpits, 2));
    return first && second;
}

// On success the log is empty (the box keeps its old text until the next
// append).
void ClearSpits(const Context& context) {
    context.log.ClearLog();
    static_cast<void>(ClearSpitCounters(context));  // noted in the outcome; nothing follows
}

// The line says "Command Sent" whatever came of the send: the send writes
// its own failure text before it.
void CalibrateLastDisk(const Context& context) {
    context.outcome.GoOn(context.link.SendCommand(CommandCode::CalibrateLastDisk));
    context.log.AppendLog(kCalibrateSent);
}

void RestoreFactory(const Context& context) {
    context.outcome.GoOn(context.link.SendCommand(CommandCode::RestoreFactory));
}

// The pause after the two commands is fixed; each pause after a poll that
// finds the unit busy is told as a poll of a wait for the unit. A poll whose
// status read fails counts as busy: the report shows only a record that was
// received after the test. The unit still busy (or
// unreadable) after the last poll ends the operation without a report.
void TestBins(const Context& context) {
    auto& log = context.log;
    auto& link = context.link;
    auto& state = link.State();
    state.deviceBusy = true;
    log.ClearLog();
    log.AppendLog(kCheckingBins);
    // The test's polls follow whatever came of its commands.
    context.outcome.GoOn(link.PrepareMove());
    context.outcome.GoOn(link.SendCommand(CommandCode::TestBins));
    context.UpdateWindow();
    context.clock.Sleep(kTestBinsPauseMs);
    platform::UnitWaitProgress wait(context.progress);
    for (int poll = 0; poll < kTestBinsMaxPolls; ++poll) {
        const bool read = link.GetDeviceStatus().Ok();
        if (read && !state.deviceBusy) {
            log.AppendLog(kGettingStatus);
            context.UpdateWindow();
            report::ShowStatusReport(state, log);
            return;
        }
        wait.Poll();
        context.clock.Sleep(kTestBinsPauseMs);
    }
    context.outcome.Failed("the unit did not report idle after the bin test");
}

}  // namespace orlax::operations
