// Operations still to come: they log that they are not available.
#include "app/burner_app.h"
#include "app/burner_dlg.h"

namespace orlax::app {
namespace {
void NotAvailable(CBurnerApp& app) {
    app.Log().AppendLog("Not available yet.\r\n");
    app.Outcome().Failed();
}
}  // namespace

void CBurnerDlg::OnStartup() { NotAvailable(app_); }
void CBurnerDlg::OnFirmwareUpdate() { NotAvailable(app_); }
void CBurnerDlg::OnSendTestFile() { NotAvailable(app_); }
void CBurnerDlg::OnSetFactoryDefaults() { NotAvailable(app_); }
void CBurnerDlg::OnClearSpits() { NotAvailable(app_); }
void CBurnerDlg::OnCalibrateLastDisk() { NotAvailable(app_); }
void CBurnerDlg::OnRestoreFactory() { NotAvailable(app_); }
void CBurnerDlg::OnTestBins() { NotAvailable(app_); }
void CBurnerDlg::OnFinalCheck() { NotAvailable(app_); }

}  // namespace orlax::app
