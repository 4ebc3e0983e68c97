// DISK POSITION and SET OFFSETS: a status read gates each dialog; a device
// that answers opens it, even when it reports itself busy.
#include "app/burner_app.h"
#include "app/burner_dlg.h"
#include "dialogs/disk_position_dlg.h"
#include "dialogs/set_offsets_dlg.h"

namespace orlax::app {
namespace {

// Empties the log and reads the status; on failure says so after the
// query's own text.
bool DeviceAnswers(CBurnerApp& app) {
    app.Log().ClearLog();
    if (app.Outcome().Check(app.Link().GetDeviceStatus())) return true;
    app.Log().AppendLog("Printer Not Online or is busy \r\n");
    return false;
}

}  // namespace

void CBurnerDlg::OnDiskPosition() {
    if (!DeviceAnswers(app_)) return;
    dialogs::CDiskPositionDlg dialog(app_.Host(), app_.Link(), app_.Outcome());
    dialog.DoModal();
}

void CBurnerDlg::OnSetOffsets() {
    if (!DeviceAnswers(app_)) return;
    dialogs::CSetOffsetsDlg dialog(app_.Host(), app_.Link(), app_.Outcome());
    dialog.DoModal();
}

}  // namespace orlax::app
