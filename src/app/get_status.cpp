// GET STATUS: one status query, then the dump and the report.
#include "app/burner_app.h"
#include "app/burner_dlg.h"
#include "report/status_report.h"

namespace orlax::app {

void CBurnerDlg::OnGetStatus() {
    auto& log = app_.Log();
    log.ClearLog();
    log.AppendLog("Getting Printer Status !!\r\n");
    UpdateWindow();
    if (!app_.Outcome().Check(app_.Link().GetDeviceStatus())) {
        log.AppendLog("No status returned !!\r\n");
        return;
    }
    log.ClearLog();
    report::ShowStatusReport(app_.Device(), log);
}

}  // namespace orlax::app
