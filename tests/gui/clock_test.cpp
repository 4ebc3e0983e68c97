// The desktop clock: pauses keep the windows painting under a busy cursor and
// show the seconds left in the progress line under the log.
#include <QGuiApplication>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "gui/paint_counter.h"
#include "gui/progress_line.h"
#include "gui/progress_model.h"
#include "gui/qt_clock.h"

namespace orlax::gui {

using testing::PaintCounter;

class ClockTest : public QObject {
    Q_OBJECT

private slots:
    void pauseKeepsTimersAndPaintingGoing() {
        ProgressModel model;
        QtClock clock(&model);
        QWidget window;
        window.resize(300, 40);
        auto* line = new ProgressLine(model, &window);
        line->setGeometry(0, 20, 300, 12);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PaintCounter counter;
        line->installEventFilter(&counter);

        bool timerRan = false;
        Qt::CursorShape cursorDuring = Qt::ArrowCursor;
        std::string textDuring;
        QTimer::singleShot(0, [&] {
            timerRan = true;
            if (const QCursor* cursor = QGuiApplication::overrideCursor()) cursorDuring = cursor->shape();
            textDuring = model.Text();
        });
        const std::uint32_t before = clock.GetTickCount();
        clock.Sleep(300);
        const std::uint32_t after = clock.GetTickCount();

        QVERIFY(timerRan);
        QCOMPARE(cursorDuring, Qt::WaitCursor);
        QCOMPARE(textDuring, std::string("Waiting: 1 s left"));
        QVERIFY(counter.paints > 0);
        QVERIFY(after - before >= 300);
        // Afterwards: no busy cursor, an empty line.
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QVERIFY(!model.Active());
    }

    // A pause that the device logic told as a poll of a wait for the unit:
    // its line counts polls instead of the seconds of a single poll, until
    // the wait is over.
    void pauseLineNamesWhatItWaitsFor_data() {
        QTest::addColumn<bool>("unitWait");
        QTest::addColumn<QString>("line");
        QTest::newRow("a fixed pause") << false << "Waiting: 1 s left";
        QTest::newRow("a poll of a wait for the unit") << true << "Waiting for the unit: poll 1";
    }

    void pauseLineNamesWhatItWaitsFor() {
        QFETCH(bool, unitWait);
        QFETCH(QString, line);
        ProgressModel model;
        QtClock clock(&model);
        if (unitWait) model.UnitWait(1);
        std::string during;
        QTimer::singleShot(0, [&] { during = model.Text(); });
        clock.Sleep(300);
        QCOMPARE(QString::fromStdString(during), line);
        if (unitWait) model.UnitWaitDone();
        QVERIFY(!model.Active());
    }

    void progressLineShowsTheFileBeingSent() {
        ProgressModel model;
        QWidget window;
        window.resize(400, 30);
        auto* line = new ProgressLine(model, &window);
        line->setGeometry(0, 0, 400, 14);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PaintCounter counter;
        line->installEventFilter(&counter);

        model.FileProgress("/k/firm.bin", 500, 1000);
        QVERIFY(counter.paints > 0);  // painted at once, with no event loop turn
        const QImage half = line->grab().toImage();
        model.FileProgress("/k/firm.bin", 1000, 1000);
        const QImage full = line->grab().toImage();
        QVERIFY(half != full);
        model.Done();
        const QImage idle = line->grab().toImage();
        // Idle, the line is the window's background and nothing else.
        QCOMPARE(idle.pixelColor(idle.width() - 2, idle.height() / 2), idle.pixelColor(1, 1));
        QVERIFY(idle != half);
    }
};

}  // namespace orlax::gui

QTEST_MAIN(orlax::gui::ClockTest)
#include "clock_test.moc"
