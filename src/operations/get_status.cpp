#include "operations/get_status.h"

#include "device/device_link.h"
#include "operations/context.h"
#include "operations/operator_log.h"
#include "operations/outcome.h"
#include "report/status_report.h"

namespace orlax::operations {

void GetStatus(const Context& context) {
    auto& log = context.log;
    log.ClearLog();
    log.AppendLog("Getting Printer Status !!\r\n");
    context.UpdateWindow();
    if (!context.outcome.Check(context.link.GetDeviceStatus())) {
        log.AppendLog("No status returned !!\r\n");
        return;
    }
    log.ClearLog();
    report::ShowStatusReport(context.link.State(), log);
}

bool DeviceAnswers(const Context& context) {
    context.log.ClearLog();
    if (context.outcome.Check(context.link.GetDeviceStatus())) return true;
    context.log.AppendLog("Printer Not Online or is busy \r\n");
    return false;
}

}  // namespace orlax::operations
