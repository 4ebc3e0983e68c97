#include "app/burner_dlg.h"

#include <array>
#include <string>
#include <vector>

#include "app/burner_app.h"
#include "app/help_text.h"
#include "app/queue_list.h"
#include "dialogs/disk_position_dlg.h"
#include "dialogs/set_offsets_dlg.h"
#include "operations/downloads.h"
#include "operations/get_status.h"
#include "operations/maintenance.h"
#include "platform/spooler.h"
#include "res/dialog_templates.h"
#include "res/string_table.h"

namespace orlax::app {

using platform::kBnClicked;
using platform::kCbnKillFocus;
using Entry = platform::MessageEntry<CBurnerDlg>;

CBurnerDlg::CBurnerDlg(CBurnerApp& app)
    : MappedDialog(res::kMainWindowTemplate, app.Host()),
      context_{app.Log(), app.Link(), app.Outcome(), app.Clock(), app.Progress(), *this},
      finalCheck_{app.ProductionRecord(), app.ToleranceLimits()},
      spooler_(app.Spooler()),
      printerName_(app.PrinterName()) {}

// The log must not show its text in a window that is gone.
CBurnerDlg::~CBurnerDlg() { context_.log.SetLogWindow(nullptr); }

std::span<const Entry> CBurnerDlg::MessageMap() {
    static constexpr std::array kMap{
        Entry{kBnClicked, control::kGetStatus, &CBurnerDlg::OnGetStatus},
        Entry{kBnClicked, control::kSendTestFile, &CBurnerDlg::OnSendTestFile},
        Entry{kBnClicked, control::kFirmwareUpdate, &CBurnerDlg::OnFirmwareUpdate},
        Entry{kBnClicked, control::kStartup, &CBurnerDlg::OnStartup},
        Entry{kBnClicked, control::kDiskPosition, &CBurnerDlg::OnDiskPosition},
        Entry{kBnClicked, control::kSetOffsets, &CBurnerDlg::OnSetOffsets},
        Entry{kBnClicked, control::kClearSpits, &CBurnerDlg::OnClearSpits},
        Entry{kBnClicked, control::kCalibrateLastDisk, &CBurnerDlg::OnCalibrateLastDisk},
        Entry{kBnClicked, control::kTestBins, &CBurnerDlg::OnTestBins},
        Entry{kCbnKillFocus, control::kQueueSelector, &CBurnerDlg::OnKillFocusQueueSelector},
        Entry{kBnClicked, control::kSetFactoryDefaults, &CBurnerDlg::OnSetFactoryDefaults},
        Entry{kBnClicked, control::kRestoreFactory, &CBurnerDlg::OnRestoreFactory},
        Entry{kBnClicked, control::kFinalCheck, &CBurnerDlg::OnFinalCheck},
    };
    return kMap;
}

bool CBurnerDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    if (const auto about = res::LoadString(res::kIdsAboutBox); !about.empty())
        AppendSystemMenu(kIdmAboutBox, about);
    auto& log = context_.log;
    log.SetLogWindow(this);
    log.ClearLog();
    log.AppendLog(HelpText());
    FillQueueSelector();
    ComboSetCurSel(control::kQueueSelector, 0);
    printerName_ = GetDlgItemText(control::kQueueSelector);
    UpdateWindow();
    return true;
}

// "Lumetra PRO" first, then every local queue in the spooler's order. With
// no queue, or a failed enumeration, the error box comes once; a spooler
// that could not list its queues (a print server unreachable or hung) is
// the run's failure too.
void CBurnerDlg::FillQueueSelector() {
    std::vector<std::string> names;
    bool listed = false;
    if (!ReadPrinterList(spooler_, names, &listed)) {
        MessageBox(res::LoadString(res::kIdsEnumError), res::LoadString(res::kIdsEnumErrorCaption),
                   platform::kMbSetForeground);
    }
    if (!listed) context_.outcome.Failed("the print spooler could not list its queues: " + spooler_.LastErrorText());
    ComboInsertString(control::kQueueSelector, 0, kFixedQueueEntry);
    int index = 1;
    for (const auto& name : names) ComboInsertString(control::kQueueSelector, index++, name);
}

void CBurnerDlg::OnKillFocusQueueSelector() {
    auto& log = context_.log;
    log.ClearLog();
    printerName_ = GetDlgItemText(control::kQueueSelector);
    log.AppendLog("New Printer Name Selected:  ");
    log.AppendLog(printerName_);
    log.AppendLog("\r\n");
}

void CBurnerDlg::OnGetStatus() { operations::GetStatus(context_); }
void CBurnerDlg::OnStartup() { operations::Startup(context_); }
void CBurnerDlg::OnFirmwareUpdate() { operations::FirmwareUpdate(context_); }
void CBurnerDlg::OnSendTestFile() { operations::SendTestFile(context_); }
void CBurnerDlg::OnSetFactoryDefaults() { operations::SetFactoryDefaults(context_); }
void CBurnerDlg::OnClearSpits() { operations::ClearSpits(context_); }
void CBurnerDlg::OnCalibrateLastDisk() { operations::CalibrateLastDisk(context_); }
void CBurnerDlg::OnRestoreFactory() { operations::RestoreFactory(context_); }
void CBurnerDlg::OnTestBins() { operations::TestBins(context_); }
void CBurnerDlg::OnFinalCheck() { operations::FinalCheck(context_, finalCheck_); }

// A status read gates each adjustment dialog.
void CBurnerDlg::OnDiskPosition() {
    if (!operations::DeviceAnswers(context_)) return;
    dialogs::CDiskPositionDlg(Host(), context_.link, context_.outcome).DoModal();
}

void CBurnerDlg::OnSetOffsets() {
    if (!operations::DeviceAnswers(context_)) return;
    dialogs::CSetOffsetsDlg(Host(), context_.link, context_.outcome).DoModal();
}

// The About entry and its neighbours (16 to 31). The resources hold no
// About template, so the box cannot open and nothing changes.
void CBurnerDlg::OnSysCommand(int id) {
    if ((id & ~0xF) == kIdmAboutBox) {
        platform::Dialog about(res::kAboutTemplate, Host());
        about.DoModal();
    }
}

}  // namespace orlax::app
