// The desktop program's small parts: dialog unit arithmetic, the handler
// queue, progress texts, label wrapping, the About text, the command line
// and the icon.
#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QTest>
#include <string>
#include <vector>

#include "emulator/emulated_spooler.h"
#include "emulator/scenario.h"
#include "gui/about_box.h"
#include "gui/app_icon_image.h"
#include "gui/burner_options.h"
#include "gui/button_label.h"
#include "gui/dialog_units.h"
#include "gui/progress_model.h"
#include "gui/task_queue.h"
#include "report/line_record.h"
#include "res/app_icon.h"

namespace orlax::gui {

class PartsTest : public QObject {
    Q_OBJECT

private slots:
    void dialogUnits_data() {
        QTest::addColumn<int>("baseX");
        QTest::addColumn<int>("baseY");
        QTest::addColumn<int>("units");
        QTest::addColumn<int>("pixelsX");
        QTest::addColumn<int>("pixelsY");
        // The template font's own base units, 6 by 13: the main window is
        // 516 by 427 pixels.
        QTest::newRow("main width/height at 6x13") << 6 << 13 << 344 << 516 << 559;
        QTest::newRow("263 at 6x13") << 6 << 13 << 263 << 395 << 427;
        QTest::newRow("halves round up") << 6 << 13 << 1 << 2 << 2;
        QTest::newRow("7 by 13") << 7 << 13 << 7 << 12 << 11;
        QTest::newRow("zero") << 7 << 16 << 0 << 0 << 0;
    }

    void dialogUnits() {
        QFETCH(int, baseX);
        QFETCH(int, baseY);
        QFETCH(int, units);
        QFETCH(int, pixelsX);
        QFETCH(int, pixelsY);
        const BaseUnits base{baseX, baseY};
        QCOMPARE(DialogUnitsToPixelsX(units, base), pixelsX);
        QCOMPARE(DialogUnitsToPixelsY(units, base), pixelsY);
    }

    void baseUnitsFromTheLetters() {
        // 52 letters 313 pixels wide: 313 / 26 = 12, (12 + 1) / 2 = 6.
        QCOMPARE(BaseUnitsFrom(313, 13).x, 6);
        QCOMPARE(BaseUnitsFrom(353, 13).x, 7);
        QCOMPARE(BaseUnitsFrom(333, 12).y, 12);
        QCOMPARE(MulDiv(-3, 6, 4), -5);  // away from zero, as the window system rounds
    }

    void taskQueueRunsOneAtATimeInOrder() {
        TaskQueue queue;
        std::vector<std::string> log;
        queue.Post([&] {
            log.push_back("a begins");
            queue.Post([&] {
                log.push_back("b");
                queue.Post([&] { log.push_back("d"); });
            });
            queue.Post([&] { log.push_back("c"); });
            log.push_back(queue.Waiting() == 2 ? "a ends, two wait" : "a ends");
        });
        QCOMPARE(log, (std::vector<std::string>{"a begins", "a ends, two wait", "b", "c", "d"}));
        QVERIFY(!queue.Running());

        // What waits for a window that goes is dropped.
        std::vector<std::string> dropped;
        TaskQueue closing;
        closing.Post([&] {
            closing.Post([&] { dropped.push_back("late"); });
            closing.Clear();
        });
        QVERIFY(dropped.empty());
    }

    void progressTexts() {
        ProgressModel model;
        int changes = 0;
        model.SetChanged([&] { ++changes; });
        QVERIFY(!model.Active());
        model.FileProgress("/d/Korvane/ORLAXPRO/firm.bin", 4500, 10000);
        QCOMPARE(model.Text(), std::string("Sending /d/Korvane/ORLAXPRO/firm.bin: 45 %"));
        QCOMPARE(model.Permille(), 450);
        model.FileProgress("/d/x.prn", 12000, 0);  // size unknown
        QCOMPARE(model.Text(), std::string("Sending /d/x.prn: 12000 bytes"));
        model.FileProgress("/d/x.prn", 20, 10);  // never past the end
        QCOMPARE(model.Permille(), 1000);
        model.Done();
        QVERIFY(!model.Active());

        model.Pause(3000, 3000);
        QCOMPARE(model.Text(), std::string("Waiting: 3 s left"));
        model.Pause(3000, 2001);
        QCOMPARE(model.Text(), std::string("Waiting: 3 s left"));
        model.Pause(3000, 2000);
        QCOMPARE(model.Text(), std::string("Waiting: 2 s left"));
        QCOMPARE(model.Permille(), 333);
        const int before = changes;
        model.Pause(3000, 2000);  // nothing new: no repaint
        QCOMPARE(changes, before);
        model.Pause(3000, 1);
        QCOMPARE(model.Text(), std::string("Waiting: 1 s left"));
        model.PauseDone();
        QVERIFY(!model.Active());

        // A wait for the unit knows no end: its polls, and no bar. Its pauses
        // keep that line until the wait is over.
        model.UnitWait(2);
        QCOMPARE(model.Text(), std::string("Waiting for the unit: poll 2"));
        QCOMPARE(model.Permille(), -1);
        QCOMPARE(model.UnitPoll(), 2);
        model.Pause(300, 200);
        model.PauseDone();
        QCOMPARE(model.Text(), std::string("Waiting for the unit: poll 2"));
        model.UnitWaitDone();
        QVERIFY(!model.Active());
        QCOMPARE(model.UnitPoll(), 0);
        model.Pause(300, 200);
        QCOMPARE(model.Text(), std::string("Waiting: 1 s left"));
        model.PauseDone();

        // Another run holds the unit: the line names it until the next progress.
        model.UnitInUse("unit in use by PID 4242 (orlaxctl)");
        QCOMPARE(model.Text(), std::string("Unit in use by PID 4242 (orlaxctl)"));
        QCOMPARE(model.Permille(), -1);
        model.FileProgress("/d/x.prn", 5, 10);
        QCOMPARE(model.Text(), std::string("Sending /d/x.prn: 50 %"));
        model.Done();

        // Rows waiting for the line database stand in the line whenever it
        // is idle: a send or a pause shows over them, and they come back.
        model.SetNotice(report::WaitingNotice(3));
        const std::string waiting = "record kept on this station: 3 waiting for the line database";
        QCOMPARE(model.Text(), waiting);
        QCOMPARE(model.Permille(), -1);
        QVERIFY(model.Active());
        model.FileProgress("/d/x.prn", 5, 10);
        QCOMPARE(model.Text(), std::string("Sending /d/x.prn: 50 %"));
        model.Done();
        QCOMPARE(model.Text(), waiting);
        model.SetNotice({});  // all sent
        QVERIFY(!model.Active());
    }

    void wrappedLabelsFitTheirWidth() {
        QFont font;
        font.setPointSize(8);
        const QFontMetrics metrics(font);
        for (const char* text : {"CALIBRATE LAST DISK", "SET FACTORY DEFAULTS", "DISK POSITION"}) {
            const int width = metrics.horizontalAdvance("CALIBRATE") + 2;
            const QString wrapped = WrapLabel(text, metrics, width);
            QCOMPARE(wrapped.split('\n').join(' '), QString(text));
            for (const QString& line : wrapped.split('\n')) QVERIFY(metrics.horizontalAdvance(line) <= width);
        }
        // A word wider than the button keeps a line of its own.
        QCOMPARE(WrapLabel("CALIBRATE", metrics, 5), QString("CALIBRATE"));
    }

    void aboutText() {
        const AboutText about = MakeAboutText("&About ventrix...", "ORLAX PRO PRINTER FIRMWARE BURNER   VER 1.02  10/22/2004", "1.2.0");
        QCOMPARE(about.caption, std::string("About ventrix"));
        QCOMPARE(about.text, std::string("ORLAX PRO PRINTER FIRMWARE BURNER\nVER 1.02  10/22/2004\n\nDesktop program 1.2.0"));
        QCOMPARE(MakeAboutText("", "TITLE", "1").caption, std::string("About"));
        QCOMPARE(MakeAboutText("Fish && &Chips", "TITLE", "1").caption, std::string("Fish & Chips"));
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("emulate");
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("journal");
        QTest::addColumn<QString>("dataRoot");
        QTest::addColumn<QStringList>("forQt");
        const QStringList none;
        QTest::newRow("nothing") << none << true << false << "" << "" << "/" << none;
        QTest::newRow("emulate") << QStringList{"--emulate"} << true << true << "" << "" << "/" << none;
        QTest::newRow("emulate a scenario") << QStringList{"--emulate=s.json", "--data-root", "/tmp/d"} << true
                                            << true << "s.json" << "" << "/tmp/d" << none;
        QTest::newRow("journal") << QStringList{"--journal", "j", "--emulate"} << true << true << "" << "j" << "/"
                                 << none;
        QTest::newRow("journal with =") << QStringList{"--emulate", "--journal=j"} << true << true << "" << "j"
                                        << "/" << none;
        QTest::newRow("data root with =") << QStringList{"--data-root=/x/y/../z/"} << true << false << "" << ""
                                          << "/x/z/" << none;
        QTest::newRow("relative data root") << QStringList{"--data-root", "d"} << true << false << "" << ""
                                            << QDir::current().absoluteFilePath("d") << none;
        // What is not ours goes to Qt in order, values and all; what Qt
        // leaves of it is refused afterwards.
        QTest::newRow("Qt's options") << QStringList{"-platform", "offscreen", "--emulate", "-display", ":1"}
                                      << true << true << "" << "" << "/"
                                      << QStringList{"-platform", "offscreen", "-display", ":1"};
        QTest::newRow("unknown") << QStringList{"--fast"} << true << false << "" << "" << "/"
                                 << QStringList{"--fast"};
        QTest::newRow("near miss") << QStringList{"--emulated"} << true << false << "" << "" << "/"
                                   << QStringList{"--emulated"};
        QTest::newRow("empty scenario") << QStringList{"--emulate="} << false << false << "" << "" << "" << none;
        QTest::newRow("data root missing") << QStringList{"--data-root"} << false << false << "" << "" << ""
                                           << none;
        QTest::newRow("journal missing") << QStringList{"--emulate", "--journal"} << false << false << "" << ""
                                         << "" << none;
        QTest::newRow("journal without emulate") << QStringList{"--journal", "j"} << false << false << "" << ""
                                                 << "" << none;
    }

    void commandLine() {
        QFETCH(QStringList, args);
        QFETCH(bool, ok);
        std::vector<std::string> words;
        for (const QString& arg : args) words.push_back(arg.toStdString());
        std::string error;
        const auto options = ParseBurnerOptions(words, error);
        QCOMPARE(options.has_value(), ok);
        if (!ok) {
            QVERIFY(!error.empty());
            return;
        }
        QFETCH(bool, emulate);
        QFETCH(QString, scenario);
        QFETCH(QString, journal);
        QFETCH(QString, dataRoot);
        QFETCH(QStringList, forQt);
        QCOMPARE(options->emulate, emulate);
        QCOMPARE(QString::fromStdString(options->scenarioPath), scenario);
        QCOMPARE(QString::fromStdString(options->journalPath), journal);
        QCOMPARE(QString::fromStdString(options->dataRoot), dataRoot);
        QStringList passedOn;
        for (const std::string& arg : options->forQt) passedOn << QString::fromStdString(arg);
        QCOMPARE(passedOn, forQt);
    }

    void iconImageIsTheIconData() {
        const QImage image = AppIconImage();
        QCOMPARE(image.size(), QSize(res::kAppIconSize, res::kAppIconSize));
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const auto index = res::AppIconPixel(x, y);
                QCOMPARE(qAlpha(image.pixel(x, y)), index ? 255 : 0);
                if (index) colours.insert(image.pixel(x, y));
            }
        }
        QVERIFY(colours.size() > 3 && colours.size() <= res::kAppIconColours);
        QVERIFY(!res::AppIconPixel(res::kAppIconSize, 0) && !res::AppIconPixel(0, -1));
    }
};

}  // namespace orlax::gui

QTEST_MAIN(orlax::gui::PartsTest)
#include "parts_test.moc"
