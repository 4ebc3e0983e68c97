// Windows built from the templates: the controls, their texts, what is
// hidden, positions and sizes in dialog units, focus and tab order.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <vector>

#include "gui/dialog_font.h"
#include "gui/window_builder.h"
#include "res/dialog_templates.h"

namespace orlax::gui {
namespace {

const res::DialogTemplate& Template(int id) { return *res::FindDialogTemplate(id); }

QString Unwrapped(const QString& label) {
    QString text = label;
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

// The visible tab stops of a template, in template order.
std::vector<int> TabStops(const res::DialogTemplate& dialogTemplate) {
    std::vector<int> ids;
    for (const auto& control : dialogTemplate.controls)
        if ((control.style & res::kTabStop) && (control.style & res::kVisible)) ids.push_back(control.id);
    return ids;
}

int IdOf(const BuiltWindow& window, const QWidget* widget) {
    for (const auto& built : window.controls)
        if (built.widget == widget) return built.control->id;
    return 0;
}

}  // namespace

class WindowBuilderTest : public QObject {
    Q_OBJECT

private slots:
    void mainWindowControls() {
        const BuiltWindow window = BuildWindow(Template(res::kMainWindowTemplate), nullptr);
        QCOMPARE(window.dialog->windowTitle(),
                 QString("ORLAX PRO PRINTER FIRMWARE BURNER   VER 1.02  10/22/2004"));
        QStringList shown, hidden;
        for (const auto& built : window.controls) {
            auto* button = qobject_cast<QPushButton*>(built.widget);
            if (!button) continue;
            // Labels wrap, but their words are the template's.
            QCOMPARE(Unwrapped(button->text()), QString::fromUtf8(built.control->text.data(),
                                                                  static_cast<qsizetype>(built.control->text.size())));
            (built.widget->isHidden() ? hidden : shown) << Unwrapped(button->text());
            QVERIFY(!button->autoDefault());
        }
        QCOMPARE(shown, (QStringList{"GET STATUS", "DISK POSITION", "SET OFFSETS", "CALIBRATE LAST DISK",
                                     "RESTORE FACTORY"}));
        QCOMPARE(hidden.size(), 7);
        QVERIFY(qobject_cast<QPushButton*>(window.Find(1015)->widget)->text().contains('\n'));

        auto* log = qobject_cast<QPlainTextEdit*>(window.Find(1000)->widget);
        QVERIFY(log);
        QVERIFY(log->isReadOnly());
        QCOMPARE(log->lineWrapMode(), QPlainTextEdit::NoWrap);
        auto* selector = qobject_cast<QComboBox*>(window.Find(1001)->widget);
        QVERIFY(selector);
        QVERIFY(selector->isEditable());
        QCOMPARE(selector->insertPolicy(), QComboBox::NoInsert);
        auto* label = qobject_cast<QLabel*>(window.controls[5].widget);
        QVERIFY(label);
        QCOMPARE(label->text(), QString("PRINTER NAME:"));
        QVERIFY(label->alignment() & Qt::AlignHCenter);
    }

    void defaultButtons_data() {
        QTest::addColumn<int>("templateId");
        QTest::addColumn<int>("defaultId");
        QTest::newRow("main window: none") << res::kMainWindowTemplate << 0;
        QTest::newRow("set offsets: OK") << res::kSetOffsetsTemplate << 1;
        QTest::newRow("disk position: OK") << res::kDiskPositionTemplate << 1;
    }

    void defaultButtons() {
        QFETCH(int, templateId);
        QFETCH(int, defaultId);
        const BuiltWindow window = BuildWindow(Template(templateId), nullptr);
        int found = 0;
        for (const auto& built : window.controls)
            if (auto* button = qobject_cast<QPushButton*>(built.widget); button && button->isDefault())
                found = built.control->id;
        QCOMPARE(found, defaultId);
    }

    void geometryFollowsTheDialogUnits_data() {
        QTest::addColumn<int>("templateId");
        QTest::newRow("main window") << res::kMainWindowTemplate;
        QTest::newRow("set offsets") << res::kSetOffsetsTemplate;
        QTest::newRow("disk position") << res::kDiskPositionTemplate;
    }

    void geometryFollowsTheDialogUnits() {
        QFETCH(int, templateId);
        const res::DialogTemplate& dialogTemplate = Template(templateId);
        const BuiltWindow window = BuildWindow(dialogTemplate, nullptr);
        const BaseUnits base = BaseUnitsOf(window.dialog->font());
        QCOMPARE(window.base.x, base.x);
        QVERIFY(base.x >= 4 && base.y >= 8);

        // Client area: the template's size in dialog units.
        QCOMPARE(window.dialog->width(), (dialogTemplate.cx * base.x + 2) / 4);
        QCOMPARE(window.dialog->height(), (dialogTemplate.cy * base.y + 4) / 8);
        for (const auto& built : window.controls) {
            const res::ControlTemplate& control = *built.control;
            const QRect rect = built.widget->geometry();
            const int x = (control.x * base.x + 2) / 4;
            const int width = (control.cx * base.x + 2) / 4;
            QCOMPARE(rect.y(), (control.y * base.y + 4) / 8);
            if (auto* label = qobject_cast<QLabel*>(built.widget)) {
                // A label keeps its place and grows to its text if need be.
                QVERIFY(rect.width() >= width);
                QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= rect.width());
                if (control.style & res::kCenter)
                    QVERIFY(std::abs((rect.x() + rect.width() / 2) - (x + width / 2)) <= 1);
                else
                    QCOMPARE(rect.x(), x);
            } else {
                QCOMPARE(rect.x(), x);
                QCOMPARE(rect.width(), width);
            }
            // A selector's template height is its dropped list; closed it is
            // one line high.
            if (control.kind == res::ControlKind::ComboBox) {
                QVERIFY(rect.height() < (control.cy * base.y) / 8);
                QVERIFY(rect.height() >= base.y);
            } else {
                QCOMPARE(rect.height(), (control.cy * base.y + 4) / 8);
            }
        }
    }

    void focusPolicies() {
        for (const int id : {res::kMainWindowTemplate, res::kSetOffsetsTemplate, res::kDiskPositionTemplate}) {
            const BuiltWindow window = BuildWindow(Template(id), nullptr);
            for (const auto& built : window.controls) {
                const Qt::FocusPolicy expected = built.control->kind == res::ControlKind::Static ? Qt::NoFocus
                                                 : (built.control->style & res::kTabStop)       ? Qt::StrongFocus
                                                                                                : Qt::ClickFocus;
                QCOMPARE(built.widget->focusPolicy(), expected);
                QCOMPARE(built.widget->isHidden(), !(built.control->style & res::kVisible));
            }
        }
    }

    // Tab, pressed for real, visits the visible tab stops in template order
    // and comes round again.
    void tabOrderIsTemplateOrder_data() { geometryFollowsTheDialogUnits_data(); }

    void tabOrderIsTemplateOrder() {
        QFETCH(int, templateId);
        const res::DialogTemplate& dialogTemplate = Template(templateId);
        const BuiltWindow window = BuildWindow(dialogTemplate, nullptr);
        window.dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(window.dialog.get()));
        const std::vector<int> expected = TabStops(dialogTemplate);
        window.Find(expected.front())->widget->setFocus();
        std::vector<int> visited{IdOf(window, window.dialog->focusWidget())};
        for (std::size_t i = 0; i < expected.size(); ++i) {
            QTest::keyClick(window.dialog->focusWidget(), Qt::Key_Tab);
            visited.push_back(IdOf(window, window.dialog->focusWidget()));
        }
        std::vector<int> roundTrip = expected;
        roundTrip.push_back(expected.front());
        QCOMPARE(visited, roundTrip);
    }
};

}  // namespace orlax::gui

QTEST_MAIN(orlax::gui::WindowBuilderTest)
#include "window_builder_test.moc"
