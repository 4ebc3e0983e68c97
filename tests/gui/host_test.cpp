// The desktop host's own window semantics (what every host does is in
// host_contract_test.cpp): focus losses on press, to another window and at
// the close box, one handler at a time, Enter, Escape, the window menu and
// the About box, message boxes.
#include <QAbstractItemView>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "res/control_ids.h"
#include "app/burner_dlg.h"
#include "gui/gui_driver.h"
#include "gui/gui_session.h"
#include "gui/paint_counter.h"
#include "gui/qt_dialog_window.h"
#include "gui/qt_host.h"
#include "gui/recording_presenter.h"
#include "platform/dialog.h"
#include "res/dialog_templates.h"

namespace orlax::testing {
namespace {

using platform::kBnClicked;
using platform::kEnKillFocus;
using platform::MessageEntry;

// The disk position template (OK 1, Cancel 2, edits 1015 and 1001) with a
// message map that records what it hears.
class RecordingDialog : public platform::MappedDialog<RecordingDialog> {
public:
    explicit RecordingDialog(platform::DialogHost& host, int templateId = res::kDiskPositionTemplate)
        : MappedDialog(templateId, host) {}

    static std::span<const MessageEntry<RecordingDialog>> MessageMap() {
        static constexpr std::array<MessageEntry<RecordingDialog>, 2> kMap{{
            {kEnKillFocus, 1015, &RecordingDialog::OnKillFocusVertical},
            {kEnKillFocus, 1001, &RecordingDialog::OnKillFocusHorizontal},
        }};
        return kMap;
    }
    bool OnInitDialog() override {
        if (endAtInit) EndDialog(7);
        return true;
    }
    void OnOK() override {
        events.push_back("ok");
        if (onOk) onOk();
        events.push_back("ok done");
        if (endOnOk) Dialog::OnOK();
    }
    void OnCancel() override {
        events.push_back("cancel");
        Dialog::OnCancel();
    }
    void OnKillFocusVertical() { events.push_back("kill 1015"); }
    void OnKillFocusHorizontal() { events.push_back("kill 1001"); }

    std::vector<std::string> events;
    std::function<void()> onOk;
    bool endOnOk = true;
    bool endAtInit = false;
};

using Events = std::vector<std::string>;


QStringList Strings(const Events& events) {
    QStringList list;
    for (const auto& event : events) list << QString::fromStdString(event);
    return list;
}

}  // namespace

class HostTest : public QObject {
    Q_OBJECT

private:
    RecordingPresenter presenter_;
    gui::QtHost host_{presenter_, nullptr, "9.9.9"};

    // Runs a recording dialog with `steps` done once it is up.
    int RunDialog(RecordingDialog& dialog, const std::function<void(gui::QtDialogWindow&)>& steps) {
        OnEachWindow(host_, steps);
        return dialog.DoModal();
    }

private slots:
    void killFocusComesOnPressAndTheClickOnRelease() {
        RecordingDialog dialog(host_);
        Events afterPress;
        const int result = RunDialog(dialog, [&](gui::QtDialogWindow& window) {
            window.Control(1015)->setFocus();
            QTest::mousePress(window.Control(platform::kIdOk), Qt::LeftButton);
            afterPress = dialog.events;
            QTest::mouseRelease(window.Control(platform::kIdOk), Qt::LeftButton);
        });
        QCOMPARE(afterPress, (Events{"kill 1015"}));
        QCOMPARE(dialog.events, (Events{"kill 1015", "ok", "ok done"}));
        QCOMPARE(result, platform::kIdOk);
    }

    void everyWayOfLeavingAFieldSendsItsKillFocus_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QStringList>("expected");
        // Tab and a click on the other field are the host contract's
        // (tests/support/host_contract.h); these two are the desktop's own.
        QTest::newRow("another window takes the focus") << "window" << QStringList{"kill 1015"};
        // The close box moves no focus: Cancel first, then the loss as the
        // window goes.
        QTest::newRow("close box") << "close" << QStringList{"cancel", "kill 1015"};
    }

    void everyWayOfLeavingAFieldSendsItsKillFocus() {
        QFETCH(QString, how);
        QFETCH(QStringList, expected);
        RecordingDialog dialog(host_);
        QWidget other;
        RunDialog(dialog, [&](gui::QtDialogWindow& window) {
            window.Control(1015)->setFocus();
            if (how == "window") {
                other.show();
                other.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&other));
            }
            if (how == "close") window.Widget().close();
        });
        QCOMPARE(Strings(dialog.events), expected);
    }

    void enterGivesOkWithoutAFocusChangeAndEscapeGivesCancel() {
        RecordingDialog enter(host_);
        RunDialog(enter, [&](gui::QtDialogWindow& window) {
            window.Control(1015)->setFocus();
            QTest::keyClick(window.Control(1015), Qt::Key_Return);
        });
        QCOMPARE(enter.events.front(), std::string("ok"));

        RecordingDialog escape(host_);
        const int result = RunDialog(escape, [&](gui::QtDialogWindow& window) {
            QTest::keyClick(window.Control(platform::kIdOk), Qt::Key_Escape);
        });
        QCOMPARE(escape.events, (Events{"cancel"}));
        QCOMPARE(result, platform::kIdCancel);
    }

    void aFocusLossDuringAHandlerWaitsForIt() {
        RecordingDialog dialog(host_);
        dialog.endOnOk = false;
        gui::QtDialogWindow* shown = nullptr;
        dialog.onOk = [&] {
            // The handler moves the focus itself: the field's notification
            // must not run inside it.
            shown->Control(1001)->setFocus();
            dialog.events.push_back(shown->HandlerRunning() ? "busy" : "idle");
        };
        RunDialog(dialog, [&](gui::QtDialogWindow& window) {
            shown = &window;
            window.Control(1015)->setFocus();
            QTest::keyClick(window.Control(1015), Qt::Key_Return);
        });
        QCOMPARE(Strings(dialog.events), (QStringList{"ok", "busy", "ok done", "kill 1015", "kill 1001"}));
    }

    void handlersRunUnderTheBusyCursor() {
        RecordingDialog dialog(host_);
        Qt::CursorShape during = Qt::ArrowCursor;
        dialog.onOk = [&] {
            if (const QCursor* cursor = QGuiApplication::overrideCursor()) during = cursor->shape();
        };
        RunDialog(dialog, [&](gui::QtDialogWindow& window) {
            QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
            QTest::mouseClick(window.Control(platform::kIdOk), Qt::LeftButton);
        });
        QCOMPARE(during, Qt::WaitCursor);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void updateWindowPaintsAtOnce() {
        RecordingDialog dialog(host_);
        dialog.endOnOk = false;
        int before = -1, after = -1;
        PaintCounter counter;
        dialog.onOk = [&] {
            dialog.SetDlgItemText(1001, " 12");
            before = counter.paints;
            dialog.UpdateWindow();
            after = counter.paints;
        };
        RunDialog(dialog, [&](gui::QtDialogWindow& window) {
            QTest::qWait(50);  // the first paint is done
            window.Control(1001)->installEventFilter(&counter);
            QTest::keyClick(window.Control(platform::kIdOk), Qt::Key_Return);
        });
        QCOMPARE(before, 0);  // setting the text alone paints nothing yet
        QVERIFY(after > 0);
    }

    void aDialogEndedDuringItsInitialisationNeverShows() {
        RecordingDialog dialog(host_);
        dialog.endAtInit = true;
        bool shown = false;
        host_.SetWindowShown([&](gui::QtDialogWindow&) { shown = true; });
        QCOMPARE(dialog.DoModal(), 7);
        QVERIFY(!shown);
        QCOMPARE(host_.Topmost(), nullptr);
    }

    void templatesThatDoNotExist() {
        RecordingDialog missing(host_, 999);
        QCOMPARE(missing.DoModal(), -1);
        QVERIFY(presenter_.abouts.empty());
    }

    // The main window: Enter does not end it, Enter in the selector takes
    // the typed name, the window menu holds the About entry, Escape ends it.
    void mainWindowKeysAndMenu() {
        GuiSession session;
        bool endedByEnter = true;
        bool endedByEscape = false;
        QStringList menu;
        OnEachWindow(session.host, [&](gui::QtDialogWindow& window) {
            QWidget* log = window.Control(res::main_window::kLog);
            QCOMPARE(window.Widget().focusWidget(), log);  // the first tab stop
            QTest::keyClick(log, Qt::Key_Return);
            endedByEnter = window.Ended();

            auto* combo = qobject_cast<QComboBox*>(window.Control(app::control::kQueueSelector));
            const int listed = combo->count();
            QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
            QTest::keyClick(combo, Qt::Key_End);
            QTest::keyClicks(combo, " 2");
            QTest::keyClick(combo, Qt::Key_Return);
            QCOMPARE(window.Widget().focusWidget(), log);
            QCOMPARE(combo->count(), listed);  // nothing added to the list

            for (const QAction* action : window.WindowMenu().actions())
                if (!action->isSeparator()) menu << action->text();
            window.SystemCommand(app::kIdmAboutBox);

            QTest::keyClick(log, Qt::Key_Escape);
            endedByEscape = window.Ended() && window.Result() == platform::kIdCancel;
        });
        session.app.InitInstance();
        QVERIFY(!endedByEnter);
        QVERIFY(endedByEscape);
        QCOMPARE(session.app.PrinterName(), std::string("Lumetra PRO 2"));
        QCOMPARE(std::string(session.app.Log().LogText()),
                 std::string("New Printer Name Selected:  Lumetra PRO 2\r\n"));
        QCOMPARE(menu, (QStringList{"&Close\tAlt+F4", "&About ventrix..."}));
        QCOMPARE(session.presenter.abouts.size(), std::size_t{1});
        QCOMPARE(session.presenter.abouts[0].caption, std::string("About ventrix"));
        QCOMPARE(session.presenter.abouts[0].text,
                 std::string("ORLAX PRO PRINTER FIRMWARE BURNER\nVER 1.02  10/22/2004\n\n"
                             "Desktop program test"));
    }

    // Opening the selector's list, the first time or later, is no focus
    // loss: the log keeps the report. Choosing from the list changes nothing
    // until the selector is left; leaving it takes the choice, before the
    // click that left it.
    void openingTheQueueListKeepsTheLog() {
        emulator::Scenario scenario = emulator::DefaultScenario();
        scenario.queues = {"Lumetra PRO", "Line 3"};
        GuiSession session(scenario);
        std::string report;
        QStringList afterEachStep;
        OnEachWindow(session.host, [&](gui::QtDialogWindow& window) {
            auto* combo = qobject_cast<QComboBox*>(window.Control(app::control::kQueueSelector));
            QWidget* getStatus = window.Control(app::control::kGetStatus);
            QTest::mouseClick(getStatus, Qt::LeftButton);
            report = session.app.Log().LogText();
            combo->setFocus(Qt::MouseFocusReason);
            const auto note = [&] {
                afterEachStep << QString::fromStdString(session.app.Log().LogText() == report ? "report"
                                                                                              : "changed");
            };
            for (int opening = 0; opening < 2; ++opening) {
                combo->showPopup();
                QVERIFY(QTest::qWaitForWindowExposed(combo->view()->window()));
                note();
                combo->hidePopup();
                note();
            }
            combo->showPopup();
            QVERIFY(QTest::qWaitForWindowExposed(combo->view()->window()));
            combo->view()->setCurrentIndex(combo->model()->index(2, 0));
            QTest::keyClick(combo->view(), Qt::Key_Return);
            note();
            QTest::mouseClick(getStatus, Qt::LeftButton);
            window.EndDialog(platform::kIdCancel);
        });
        session.app.InitInstance();
        QVERIFY(report.size() > 100);
        QCOMPARE(afterEachStep, QStringList(5, "report"));
        QCOMPARE(session.app.PrinterName(), std::string("Line 3"));
    }

    // After each append the log box shows its newest text; the text itself
    // is the log's.
    void logBoxShowsItsNewestText() {
        GuiSession session;
        std::vector<std::pair<int, int>> scrolledOfEnd;
        OnEachWindow(session.host, [&](gui::QtDialogWindow& window) {
            auto* box = qobject_cast<QPlainTextEdit*>(window.Control(res::main_window::kLog));
            std::string text;
            for (int line = 1; line <= 60; ++line) {
                text += "line " + std::to_string(line) + "\r\n";
                window.SetItemText(res::main_window::kLog, text);
                scrolledOfEnd.emplace_back(box->verticalScrollBar()->value(), box->verticalScrollBar()->maximum());
            }
            QCOMPARE(window.GetItemText(res::main_window::kLog), text);
        });
        session.app.InitInstance();
        QVERIFY(scrolledOfEnd.back().second > 0);  // the text is longer than the box
        for (const auto& [scrolled, end] : scrolledOfEnd) QCOMPARE(scrolled, end);
    }

    void closeBoxAndWindowMenuCloseEndTheProgram_data() {
        QTest::addColumn<bool>("byMenu");
        QTest::newRow("close box") << false;
        QTest::newRow("window menu") << true;
    }

    void closeBoxAndWindowMenuCloseEndTheProgram() {
        QFETCH(bool, byMenu);
        GuiSession session;
        int result = 0;
        OnEachWindow(session.host, [&](gui::QtDialogWindow& window) {
            if (byMenu) {
                QTimer::singleShot(0, [&window] {
                    QMenu& menu = window.WindowMenu();
                    menu.setActiveAction(menu.actions().first());  // Close
                    QTest::keyClick(&menu, Qt::Key_Return);
                });
                window.ShowWindowMenu(window.Widget().mapToGlobal(QPoint(5, 5)));
            } else {
                window.Widget().close();
            }
            if (window.Ended()) result = window.Result();
        });
        session.app.InitInstance();
        QCOMPARE(result, platform::kIdCancel);
    }
};

}  // namespace orlax::testing

QTEST_MAIN(orlax::testing::HostTest)
#include "host_test.moc"
