// The desktop windows on the emulated unit, clicked through as a person
// would, against the headless host running the same steps: the same log
// texts and the same packets.
#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QTimer>

#include "res/control_ids.h"
#include "app/burner_dlg.h"
#include "app/help_text.h"
#include "gui/gui_session.h"
#include "support/session.h"

Q_DECLARE_METATYPE(orlax::headless::Script)

namespace orlax::testing {
namespace {

using headless::Script;

std::string Hex(const std::vector<protocol::CommandPacket>& packets) {
    std::string out;
    char byte[4];
    for (const auto& packet : packets) {
        for (const auto b : packet) {
            std::snprintf(byte, sizeof byte, "%.2X ", b);
            out += byte;
        }
        out += "\n";
    }
    return out;
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

emulator::Scenario WithQueues(std::vector<std::string> queues) {
    emulator::Scenario scenario = emulator::DefaultScenario();
    scenario.queues = std::move(queues);
    return scenario;
}

}  // namespace

class SessionTest : public QObject {
    Q_OBJECT

private slots:
    void opensWithTheHelpTextAndTheQueues() {
        GuiSession session(WithQueues({"Line 3", "Line 1"}));
        QStringList listed;
        QString selected;
        OnEachWindow(session.host, [&](gui::QtDialogWindow& window) {
            auto* combo = qobject_cast<QComboBox*>(window.Control(app::control::kQueueSelector));
            QVERIFY(combo);
            for (int i = 0; i < combo->count(); ++i) listed << combo->itemText(i);
            selected = combo->currentText();
            session.logBox = window.GetItemText(res::main_window::kLog);
            window.EndDialog(platform::kIdCancel);
        });
        session.app.InitInstance();
        QCOMPARE(listed, (QStringList{"Lumetra PRO", "Line 3", "Line 1"}));
        QCOMPARE(selected, QString("Lumetra PRO"));
        QCOMPARE(session.app.PrinterName(), std::string("Lumetra PRO"));
        QCOMPARE(session.logBox, app::HelpText());
        QVERIFY(session.presenter.boxes.empty());
    }

    void noQueueShowsTheErrorBoxOnce() {
        GuiSession session(WithQueues({}));
        session.Run({});
        QCOMPARE(session.presenter.boxes.size(), std::size_t{1});
        const auto& box = session.presenter.boxes.front();
        QCOMPARE(box.caption, std::string("KIVOLAN"));
        QCOMPARE(box.text, std::string("Error enumerating Printers. Check if any are installed."));
        QCOMPARE(box.type, platform::kMbSetForeground);
        QCOMPARE(session.app.PrinterName(), std::string("Lumetra PRO"));
    }

    void sameLogAndPacketsAsHeadless_data() {
        QTest::addColumn<Script>("script");
        using app::control::kDiskPosition;
        using app::control::kGetStatus;
        using app::control::kQueueSelector;
        using app::control::kSetOffsets;
        QTest::newRow("get status") << Script{Click(kGetStatus)};
        QTest::newRow("typed queue, then get status")
            << Script{Type(kQueueSelector, "Line 3"), Click(kGetStatus)};
        QTest::newRow("queue left by tab") << Script{Type(kQueueSelector, "Lumetra PRO"), Tab()};
        QTest::newRow("disk position: edit, next edit, OK")
            << Script{Click(kDiskPosition), Type(1015, "5"), Type(1001, "-3"), Click(platform::kIdOk)};
        QTest::newRow("disk position: edit, cancel")
            << Script{Click(kDiskPosition), Type(1015, "77"), Click(platform::kIdCancel)};
        QTest::newRow("set offsets: left bin, then MOVE")
            << Script{Click(kSetOffsets), Type(1014, "-5"), Click(1020), Click(platform::kIdCancel)};
        QTest::newRow("set offsets: tab through the first fields")
            << Script{Click(kSetOffsets), Tab(), Tab(), Tab(), Click(platform::kIdOk)};
        QTest::newRow("set offsets: recorder lower, disk switch")
            << Script{Click(kSetOffsets), Type(1029, "-4"), Type(1026, "200"), Click(1027),
                      Click(platform::kIdOk)};
        QTest::newRow("set offsets: arm home, then pick")
            << Script{Click(kSetOffsets), Type(1028, "3"), Click(1019), Click(platform::kIdCancel)};
    }

    void sameLogAndPacketsAsHeadless() {
        QFETCH(Script, script);
        Session headless;
        const std::string expectedLog = headless.Run(script);

        GuiSession gui;
        const std::string log = gui.Run(script);
        QCOMPARE(gui.remaining, std::size_t{0});
        QCOMPARE(Q(log), Q(expectedLog));
        QCOMPARE(Q(Hex(gui.Commands())), Q(Hex(headless.Commands())));
        QCOMPARE(gui.clock.Sleeps(), headless.clock.Sleeps());
        // The box shows the log as its last append left it; emptying the log
        // alone does not redraw the box.
        if (!log.empty())
            QCOMPARE(Q(gui.logBox), Q(log));
        else
            QVERIFY(!gui.logBox.empty());
        QVERIFY(gui.spooler.OpenHandles() == 0 && gui.spooler.OpenJobs() == 0);
    }

    // On the desktop clock the arm-home field's 2 s pause runs inside the
    // focus change to the pick button, with the windows painting and the
    // progress line counting down; the click still comes after it.
    void realPausesInsideAFocusChange() {
        const Script script{Click(app::control::kSetOffsets), Type(1028, "3"), Click(1019),
                            Click(platform::kIdCancel)};
        Session headless;
        headless.Run(script);
        GuiSession gui(emulator::DefaultScenario(), Time::Real);
        // Timers run during the pause: one looks at the line now and then.
        bool lineShowedThePause = false;
        QTimer look;
        QObject::connect(&look, &QTimer::timeout,
                         [&] { lineShowedThePause |= gui.progress.Text() == "Waiting: 2 s left"; });
        look.start(50);
        gui.Run(script);
        QCOMPARE(Q(Hex(gui.Commands())), Q(Hex(headless.Commands())));
        QVERIFY(lineShowedThePause);
        QVERIFY(!gui.progress.Active());
    }

    // The adjustment dialogs run modally over the main window, which stays
    // up, and take input: no busy cursor from the handler that opened them.
    void dialogsRunModallyOverTheMainWindow() {
        GuiSession session;
        int dialogs = 0;
        OnEachWindow(session.host, [&](gui::QtDialogWindow& window) {
            if (window.Template().id == res::kMainWindowTemplate) {
                QTest::mouseClick(window.Control(app::control::kSetOffsets), Qt::LeftButton);
                QTest::mouseClick(window.Control(app::control::kDiskPosition), Qt::LeftButton);
                return;
            }
            ++dialogs;
            QCOMPARE(QApplication::activeModalWidget(), &window.Widget());
            QVERIFY(window.Widget().parentWidget() && window.Widget().parentWidget()->isVisible());
            QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        });
        session.app.InitInstance();
        QCOMPARE(dialogs, 2);
    }

    void getStatusFillsTheLogBox() {
        emulator::Scenario scenario = emulator::DefaultScenario();
        GuiSession gui(scenario);
        gui.Run({Click(app::control::kGetStatus)});
        // The hex dump of the record first, then the report; the first line
        // of the operation was cleared away with it.
        QVERIFY(gui.logBox.starts_with("00 00 00 03 "));
        QVERIFY(gui.logBox.find("ORLAX PRO FIRMWARE VERSION #: 1.23") != std::string::npos);
        QVERIFY(gui.logBox.find("Getting Printer Status") == std::string::npos);
        QVERIFY(gui.spooler.Jobs().empty());
    }
};

}  // namespace orlax::testing

QTEST_MAIN(orlax::testing::SessionTest)
#include "session_test.moc"
