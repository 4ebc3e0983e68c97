// The main window: operator log, queue selector and the operation buttons.
#pragma once

#include <span>

#include "platform/dialog.h"

namespace orlax::app {

class CBurnerApp;

// Control ids of the main window.
namespace control {
inline constexpr int kLog = 1000;
inline constexpr int kQueueSelector = 1001;
inline constexpr int kStartup = 1004;
inline constexpr int kFirmwareUpdate = 1007;
inline constexpr int kSendTestFile = 1009;
inline constexpr int kDiskPosition = 1010;
inline constexpr int kSetOffsets = 1011;
inline constexpr int kGetStatus = 1012;
inline constexpr int kClearSpits = 1014;
inline constexpr int kCalibrateLastDisk = 1015;
inline constexpr int kTestBins = 1016;
inline constexpr int kSetFactoryDefaults = 1017;
inline constexpr int kRestoreFactory = 1018;
inline constexpr int kFinalCheck = 1019;
}  // namespace control

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

    CBurnerApp& App() { return app_; }

private:
    void FillQueueSelector();

    CBurnerApp& app_;
};

}  // namespace orlax::app
