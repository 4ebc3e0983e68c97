// GET STATUS: one status query, then the dump and the report.
#include "app/burner_app.h"
#include "app/burner_dlg.h"
#include "report/status_report.h"

namespace orlax::app {

void CBurnerDlg::OnGetStatus() {
    auto& log = log_;
    log.ClearLog();
    log.AppendLog("Getting Printer Status !!\r\n");
    UpdateWindow();
    if (!outcome_.Check(link_.GetDeviceStatus())) {
        log.AppendLog("No status returned !!\r\n");
        return;
    }
    log.ClearLog();
    report::ShowStatusReport(device_, log);
}

}  // namespace orlax::app
