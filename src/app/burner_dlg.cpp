#include "app/burner_dlg.h"

#include <array>
#include <string>
#include <vector>

#include "app/burner_app.h"
#include "app/help_text.h"
#include "app/queue_list.h"
#include "res/dialog_templates.h"
#include "res/string_table.h"

namespace orlax::app {

using platform::kBnClicked;
using platform::kCbnKillFocus;
using Entry = platform::MessageEntry<CBurnerDlg>;

CBurnerDlg::CBurnerDlg(CBurnerApp& app)
    : MappedDialog(res::kMainWindowTemplate, app.Host()),
      log_(app.Log()),
      link_(app.Link()),
      device_(app.Device()),
      clock_(app.Clock()),
      spooler_(app.Spooler()),
      outcome_(app.Outcome()),
      printerName_(app.PrinterName()),
      record_(app.ProductionRecord()),
      limits_(app.ToleranceLimits()) {}

// The log must not show its text in a window that is gone.
CBurnerDlg::~CBurnerDlg() { log_.SetLogWindow(nullptr); }

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
    auto& log = log_;
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
// no queue, or a failed enumeration, the error box comes once.
void CBurnerDlg::FillQueueSelector() {
    std::vector<std::string> names;
    if (!ReadPrinterList(spooler_, names)) {
        MessageBox(res::LoadString(res::kIdsEnumError), res::LoadString(res::kIdsEnumErrorCaption),
                   platform::kMbSetForeground);
    }
    ComboInsertString(control::kQueueSelector, 0, kFixedQueueEntry);
    int index = 1;
    for (const auto& name : names) ComboInsertString(control::kQueueSelector, index++, name);
}

void CBurnerDlg::OnKillFocusQueueSelector() {
    auto& log = log_;
    log.ClearLog();
    printerName_ = GetDlgItemText(control::kQueueSelector);
    log.AppendLog("New Printer Name Selected:  ");
    log.AppendLog(printerName_);
    log.AppendLog("\r\n");
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
