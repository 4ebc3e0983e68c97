// The main window: operator log, queue selector and the operation buttons.
// Each button's handler runs its operation over the window's one context.
#pragma once

#include <span>
#include <string>

#include "operations/context.h"
#include "operations/final_check.h"
#include "platform/dialog.h"
#include "res/control_ids.h"

namespace orlax::platform {
class Spooler;
}

namespace orlax::app {

class CBurnerApp;

// Control ids of the main window, from the resources' one table.
namespace control = res::main_window;

inline constexpr int kIdmAboutBox = 16;

class CBurnerDlg : public platform::MappedDialog<CBurnerDlg> {
public:
    explicit CBurnerDlg(CBurnerApp& app);
    ~CBurnerDlg() override;
    CBurnerDlg(const CBurnerDlg&) = delete;
    CBurnerDlg& operator=(const CBurnerDlg&) = delete;

    static std::span<const platform::MessageEntry<CBurnerDlg>> MessageMap();

    bool OnInitDialog() override;
    void OnSysCommand(int id) override;

    // Queue selection.
    void OnKillFocusQueueSelector();
    // GET STATUS.
    void OnGetStatus();
    // Downloads and maintenance.
    void OnStartup();
    void OnFirmwareUpdate();
    void OnSendTestFile();
    void OnSetFactoryDefaults();
    void OnClearSpits();
    void OnCalibrateLastDisk();
    void OnRestoreFactory();
    void OnTestBins();
    // FINAL CHECK.
    void OnFinalCheck();
    // The adjustment dialogs.
    void OnDiskPosition();
    void OnSetOffsets();

private:
    void FillQueueSelector();

    // What the main window works with, taken from the application object
    // once, when the window is made.
    const operations::Context context_;
    const operations::FinalCheckParts finalCheck_;
    platform::Spooler& spooler_;
    std::string& printerName_;
};

}  // namespace orlax::app
