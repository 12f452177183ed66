// The spin field widget: it holds whatever text the user leaves in it, filters
// what can be typed, and steps only through the model's read-add-set rule.
#include "ui/qt/spin_edit.h"
#include "window_fixture.h"

#include "../temp_dir.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace qe;
using namespace qe::test;

class SpinEditTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TfrmMain> w;

    // Focuses the spin field of that name on its page and returns its edit.
    QLineEdit* focusSpin(const char* name, int page) {
        clickTab(*w, page);
        auto* spin = widgetOf<SpinEdit>(*w, name);
        spin->setFocus();
        return spin->findChild<QLineEdit*>();
    }
    const Control& field(const char* name) { return *w->form().fields().find(name); }

private slots:
    void init() { w = showMainWindow(); }
    void cleanup() { w.reset(); }

    void holdsOutOfRangeEmptyAndSignText() {
        QLineEdit* edit = focusSpin("seWorkComplete", 3);
        edit->selectAll();
        QTest::keyClicks(edit, "20000");
        QCOMPARE(edit->text(), QStringLiteral("20000"));
        QCOMPARE(field("seWorkComplete").value(), 20000);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QString());
        QCOMPARE(field("seWorkComplete").text(), std::string());
        QTest::keyClicks(edit, "-");
        QCOMPARE(edit->text(), QStringLiteral("-"));
        QCOMPARE(field("seWorkComplete").value(), 0);
    }

    void typingIsFilteredToNumberCharacters() {
        QLineEdit* edit = focusSpin("seWorkComplete", 3);
        edit->selectAll();
        // Keys go to the field, as the focus delivers them.
        QTest::keyClicks(widgetOf<SpinEdit>(*w, "seWorkComplete"), "1a2 b+");
        QCOMPARE(edit->text(), QStringLiteral("12+"));
        QCOMPARE(field("seWorkComplete").text(), std::string("12+"));
    }

    void maxLengthLimitsTyping() {
        QLineEdit* edit = focusSpin("seMinuts", 3);
        edit->selectAll();
        QTest::keyClicks(widgetOf<SpinEdit>(*w, "seMinuts"), "12345");
        QCOMPARE(edit->text(), QStringLiteral("12"));
        edit->setCursorPosition(1);
        QTest::keyClicks(widgetOf<SpinEdit>(*w, "seMinuts"), "9"); // full: refused
        QCOMPARE(edit->text(), QStringLiteral("12"));
        QCOMPARE(widgetOf<SpinEdit>(*w, "seFontY")->maxLength(), 0);
        QCOMPARE(widgetOf<SpinEdit>(*w, "seLogSize")->maxLength(), 6);
    }

    // A longer text from the file is shown whole, as the model holds and saves it.
    // Typing cannot lengthen it; an edit of it is cut to MaxLength.
    void loadedTextLongerThanMaxLengthIsShownWhole() {
        const test::TempDir dir;
        w->openFile(dir.write("long.ini", "[misc]\nrun-work-limit=1234567\n"));
        QLineEdit* edit = focusSpin("seWorkComplete", 3);
        QCOMPARE(edit->text(), QStringLiteral("1234567"));
        edit->end(false);
        QTest::keyClicks(widgetOf<SpinEdit>(*w, "seWorkComplete"), "8");
        QCOMPARE(edit->text(), QStringLiteral("1234567"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(field("seWorkComplete").text(), std::string("12345"));
        QCOMPARE(edit->text(), QStringLiteral("12345"));
    }

    void arrowKeysAndButtonsStepWithTheClamp() {
        QLineEdit* edit = focusSpin("seMinuts", 3);
        auto* spin = widgetOf<SpinEdit>(*w, "seMinuts");
        QTest::keyClick(spin, Qt::Key_Up);
        QCOMPARE(edit->text(), QStringLiteral("1"));
        QTest::keyClick(spin, Qt::Key_Down);
        QTest::keyClick(spin, Qt::Key_Down);
        QCOMPARE(edit->text(), QStringLiteral("0"));
        edit->selectAll();
        QTest::keyClicks(edit, "75");
        QTest::keyClick(spin, Qt::Key_Up);
        QCOMPARE(edit->text(), QStringLiteral("59"));
        // The up button: the upper half of the button column.
        edit->selectAll();
        QTest::keyClicks(edit, "7");
        const QPoint up(spin->width() - 6, 5);
        QTest::mouseClick(spin, Qt::LeftButton, {}, up);
        QCOMPARE(edit->text(), QStringLiteral("8"));
    }

    void noTypingFieldStillSteps() {
        auto* spin = widgetOf<SpinEdit>(*w, "seFontX");
        auto* edit = spin->findChild<QLineEdit*>();
        QVERIFY(edit->isReadOnly());
        // The page is never shown; step as its buttons do.
        emit spin->stepRequested(1);
        QCOMPARE(edit->text(), QStringLiteral("11"));
        QCOMPARE(widgetOf(*w, "imgFont")->width(), 11);
        emit spin->stepRequested(1);
        emit spin->stepRequested(1);
        QCOMPARE(edit->text(), QStringLiteral("12"));
    }

    void standaloneWidgetOnlyAsksForSteps() {
        SpinEdit spin;
        spin.setText(QStringLiteral("5"));
        QSignalSpy steps(&spin, &SpinEdit::stepRequested);
        spin.stepBy(1);
        spin.stepBy(-3);
        QCOMPARE(steps.count(), 2);
        QCOMPARE(steps.at(0).at(0).toInt(), 1);
        QCOMPARE(steps.at(1).at(0).toInt(), -1);
        QCOMPARE(spin.text(), QStringLiteral("5"));
        QVERIFY(spin.stepEnabled() & QAbstractSpinBox::StepUpEnabled);
    }
};

QTEST_MAIN(SpinEditTest)
#include "spin_edit_test.moc"
