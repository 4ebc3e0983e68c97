// The adjustment dialogs still to come: they log that they are not available.
#include "app/burner_app.h"
#include "app/burner_dlg.h"

namespace orlax::app {

void CBurnerDlg::OnDiskPosition() {
    app_.Log().AppendLog("Not available yet.\r\n");
    app_.Outcome().Failed();
}
void CBurnerDlg::OnSetOffsets() {
    app_.Log().AppendLog("Not available yet.\r\n");
    app_.Outcome().Failed();
}

}  // namespace orlax::app
