#include "app/burner_app.h"

#include "app/burner_dlg.h"

namespace orlax::app {

std::string DeviceDataFolderFor(const std::string& dataRoot) {
    std::string folder = dataRoot.empty() ? "/" : dataRoot;
    if (folder.back() != '/') folder += '/';
    return folder + "Korvane/ORLAXPRO/";
}

CBurnerApp::CBurnerApp(PlatformPorts ports, const AppConfig& config)
    : ports_(ports),
      link_({ports.spooler, ports.clock, ports.host, ports.progress}, log_, device_, printerName_,
            DeviceDataFolderFor(config.dataRoot)) {}

bool CBurnerApp::InitInstance() {
    CBurnerDlg dialog(*this);
    dialog.DoModal();
    return false;
}

}  // namespace orlax::app
