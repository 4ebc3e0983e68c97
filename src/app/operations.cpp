// The downloads (STARTUP, FIRMWARE UPDATE, SEND TEST FILE, SET FACTORY
// DEFAULTS) and the maintenance commands (CLEAR SPITS, CALIBRATE LAST DISK,
// RESTORE FACTORY, TEST BINS) of the main window.
#include "app/operations.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "app/burner_app.h"
#include "app/burner_dlg.h"
#include "platform/clock.h"
#include "report/status_report.h"

namespace orlax::app {
namespace {

using protocol::CommandCode;

// One device file of a download, with the message shown before it and the
// pause the unit needs after it.
struct DownloadStep {
    std::string_view message;
    std::string_view file;
    std::uint32_t pauseMs;
};

// STARTUP sends all three; FIRMWARE UPDATE the last two.
constexpr std::array kStartupSteps{
    DownloadStep{"Sending Startup Bin File !!\r\n", "firm.bin", 2000},
    DownloadStep{"Sending LEX FIRMWARE File !!   This will take ~ 13 seconds\r\n",
                 "MarlithPro.Lod", 12000},
    DownloadStep{"Sending Startup Fzp File !!\r\n", "fupdate.fzp", 0},
};
constexpr std::span<const DownloadStep> kFirmwareUpdateSteps = std::span(kStartupSteps).subspan(1);

constexpr std::string_view kResetInstruction =
    "When printer LED starts to flash on the front panel.\r\n"
    "Press front panel button to reset printer. If this did not happen retry this function";

constexpr std::string_view kSendingTestFile = "SENDING TEST FILE TO PRINTER \r\n";
constexpr std::string_view kTestFile = "orlax.prn";
constexpr std::string_view kTestFileSent = "File sent ok! to printer \r\n";

constexpr std::string_view kSendingFactorySetup = "Sending Factory setup to ORLAX PRO !\r\n";
constexpr std::string_view kFactorySetupFile = "fdefault.fzp";
constexpr std::string_view kFactorySetupNote =
    "Printer should reset when valid update command is recieved.\r\n"
    "When printer resets the EEPROM error should not happen on power up.";

constexpr std::string_view kCalibrateSent =
    "Calibrate Last Disk Position Command Sent to ORLAX PRO \r\n";

constexpr std::string_view kCheckingBins = "Checking # of Disks in bins !!\r\n";
constexpr std::string_view kGettingStatus = "Getting Printer Status !!\r\n";
// TEST BINS: the pause after the two commands and after each poll that finds
// the unit busy (or cannot read it), and the most polls.
constexpr std::uint32_t kTestBinsPauseMs = 1000;
constexpr int kTestBinsMaxPolls = 30;

// Each message shows before its file goes out; the results of the sends are
// not looked at, every step runs.
void RunDownload(OperatorLog& log, device::DeviceLink& link, operations::Outcome& outcome, platform::Dialog& window,
                 std::span<const DownloadStep> steps) {
    log.ClearLog();
    for (const DownloadStep& step : steps) {
        log.AppendLog(step.message);
        window.UpdateWindow();
        outcome.GoOn(link.SendDeviceFile(step.file));
        if (step.pauseMs > 0) link.Clock().Sleep(step.pauseMs);
    }
    log.AppendLog(kResetInstruction);
    window.UpdateWindow();
}

}  // namespace

bool SendFactorySetup(OperatorLog& log, device::DeviceLink& link, operations::Outcome& outcome,
                      platform::Dialog& window) {
    log.AppendLog(kSendingFactorySetup);
    window.UpdateWindow();
    const bool sent = outcome.Check(link.SendDeviceFile(kFactorySetupFile));
    log.AppendLog(kFactorySetupNote);
    return sent;
}

bool ClearSpitCounters(device::DeviceLink& link, operations::Outcome& outcome) {
    const bool first = outcome.Check(link.SendCommand(CommandCode::ClearSpits, 1));
    const bool second = outcome.Check(link.SendCommand(CommandCode::ClearSpits, 2));
    return first && second;
}

void CBurnerDlg::OnStartup() { RunDownload(log_, link_, outcome_, *this, kStartupSteps); }

void CBurnerDlg::OnFirmwareUpdate() { RunDownload(log_, link_, outcome_, *this, kFirmwareUpdateSteps); }

// The one operation that looks at its send: "sent ok" only for a whole file.
void CBurnerDlg::OnSendTestFile() {
    auto& log = log_;
    log.ClearLog();
    log.AppendLog(kSendingTestFile);
    if (outcome_.Check(link_.SendDeviceFile(kTestFile))) log.AppendLog(kTestFileSent);
}

void CBurnerDlg::OnSetFactoryDefaults() {
    log_.ClearLog();
    static_cast<void>(SendFactorySetup(log_, link_, outcome_, *this));  // noted in the outcome; nothing follows
}

// No text of its own: on success the log is empty (the box keeps its old
// text until the next append).
void CBurnerDlg::OnClearSpits() {
    log_.ClearLog();
    static_cast<void>(ClearSpitCounters(link_, outcome_));  // noted in the outcome; nothing follows
}

// Appends to whatever the log holds.
void CBurnerDlg::OnCalibrateLastDisk() {
    // "Command Sent" whatever came of the send, as the behaviour has it.
    outcome_.GoOn(link_.SendCommand(CommandCode::CalibrateLastDisk));
    log_.AppendLog(kCalibrateSent);
}

void CBurnerDlg::OnRestoreFactory() { outcome_.GoOn(link_.SendCommand(CommandCode::RestoreFactory)); }

// The bin test, then the report once the unit is idle again. A poll whose
// status read fails counts as busy: the report shows only a record that was
// received after the test. The unit still busy (or unreadable) after the
// last poll ends the operation without a report.
void CBurnerDlg::OnTestBins() {
    auto& log = log_;
    auto& link = link_;
    auto& state = device_;
    state.deviceBusy = true;
    log.ClearLog();
    log.AppendLog(kCheckingBins);
    // The test's polls follow whatever came of its commands.
    outcome_.GoOn(link.PrepareMove());
    outcome_.GoOn(link.SendCommand(CommandCode::TestBins));
    UpdateWindow();
    clock_.Sleep(kTestBinsPauseMs);
    for (int poll = 0; poll < kTestBinsMaxPolls; ++poll) {
        const bool read = link.GetDeviceStatus().Ok();
        if (read && !state.deviceBusy) {
            log.AppendLog(kGettingStatus);
            UpdateWindow();
            report::ShowStatusReport(state, log);
            return;
        }
        clock_.Sleep(kTestBinsPauseMs);
    }
    outcome_.Failed("the unit did not report idle after the bin test");
}

}  // namespace orlax::app
