// The main window: operator log, queue selector and the operation buttons.
#pragma once

#include <span>
#include <string>

#include "platform/dialog.h"
#include "res/control_ids.h"

namespace orlax::platform {
class Clock;
class Spooler;
}  // namespace orlax::platform

namespace orlax::device {
class DeviceLink;
struct DeviceState;
}  // namespace orlax::device

namespace orlax::operations {
class Outcome;
}

namespace orlax::report {
class ProductionRecord;
}

namespace orlax::app {

class CBurnerApp;
class OperatorLog;
struct ToleranceLimits;

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
    OperatorLog& log_;
    device::DeviceLink& link_;
    device::DeviceState& device_;
    platform::Clock& clock_;
    platform::Spooler& spooler_;
    operations::Outcome& outcome_;
    std::string& printerName_;
    report::ProductionRecord& record_;
    const ToleranceLimits& limits_;
};

}  // namespace orlax::app
