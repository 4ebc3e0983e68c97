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
bool DeviceAnswers(OperatorLog& log, device::DeviceLink& link, operations::Outcome& outcome) {
    log.ClearLog();
    if (outcome.Check(link.GetDeviceStatus())) return true;
    log.AppendLog("Printer Not Online or is busy \r\n");
    return false;
}

}  // namespace

void CBurnerDlg::OnDiskPosition() {
    if (!DeviceAnswers(log_, link_, outcome_)) return;
    dialogs::CDiskPositionDlg dialog(Host(), link_, outcome_);
    dialog.DoModal();
}

void CBurnerDlg::OnSetOffsets() {
    if (!DeviceAnswers(log_, link_, outcome_)) return;
    dialogs::CSetOffsetsDlg dialog(Host(), link_, outcome_);
    dialog.DoModal();
}

}  // namespace orlax::app
