// One check over every state the window can reach: every shown caption (tab,
// label, check box, radio button, group box, button) fits its control and no
// control lies outside its page. ctest runs it at 96 dots per inch and again at
// larger scales and font resolutions.
#include "window_fixture.h"

#include "ui/qt/frm_about.h"
#include "ui/qt/frm_id.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyleOptionTab>

using namespace qe;
using namespace qe::test;

namespace {

QString where(const QWidget* w, const QString& state) {
    return w->objectName() + QStringLiteral(" in ") + state;
}

// The caption's own size, as the control's style and font lay it out.
std::optional<QSize> captionNeeds(const QWidget* w) {
    if (const auto* label = qobject_cast<const QLabel*>(w); label && !label->text().isEmpty())
        return label->sizeHint();
    if (const auto* push = qobject_cast<const QPushButton*>(w)) {
        // A push button's size hint has a minimum width of its own; the caption
        // needs its text and the style's margins.
        const int margin = push->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, push);
        return push->fontMetrics().size(Qt::TextShowMnemonic, push->text()) + QSize(2 * margin, 0);
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(w);
        button && !button->text().isEmpty())
        return button->sizeHint();
    if (const auto* group = qobject_cast<const QGroupBox*>(w); group && !group->title().isEmpty())
        return QSize(scaled(8) + group->fontMetrics().horizontalAdvance(group->title()),
                     group->fontMetrics().height());
    return std::nullopt;
}

// Every caption on screen inside top fits its control.
void checkCaptions(QWidget* top, const QString& state) {
    for (QWidget* w : top->findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        if (const auto needs = captionNeeds(w)) {
            QVERIFY2(needs->width() <= w->width(), qPrintable(where(w, state)));
            QVERIFY2(w->fontMetrics().height() <= w->height(), qPrintable(where(w, state)));
        }
    }
}

void checkWindow(TfrmMain& w, const QString& state) {
    w.refresh();
    TabRows& tabs = *w.pageControl().tabs();
    for (int i = 0; i < tabs.count(); ++i) {
        if (!tabs.isTabShown(i)) continue;
        QStyleOptionTab option;
        option.initFrom(&tabs);
        const int space = tabs.style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, &tabs);
        const int text = tabs.fontMetrics().size(Qt::TextShowMnemonic, tabs.caption(i)).width();
        QVERIFY2(text + space <= tabs.tabRect(i).width(), qPrintable(tabs.caption(i) + state));
        QVERIFY2(tabs.rect().contains(tabs.tabRect(i)), qPrintable(tabs.caption(i) + state));
    }
    QStackedWidget& stack = *w.pageControl().stack();
    for (int i = 0; i < stack.count(); ++i) {
        QWidget* page = stack.widget(i);
        for (QWidget* c : page->findChildren<QWidget*>()) {
            if (!w.form().fields().find(c->objectName().toStdString())) continue;
            const QRect r(c->mapTo(page, QPoint(0, 0)), c->size());
            QVERIFY2(QRect(QPoint(0, 0), stack.size()).contains(r), qPrintable(where(c, state)));
        }
    }
    for (int i = 0; i < stack.count(); ++i) {
        if (!w.form().fields().page(i).shown()) continue;
        w.switchPage(i);
        checkCaptions(stack.widget(i), state);
    }
}

} // namespace

class CaptionsFitTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TfrmMain> w;

    void set(const char* name, bool on) {
        Control& c = *w->form().fields().find(name);
        if (c.checked() != on) w->form().click(c);
    }
    void pick(const char* name, int index) {
        w->form().pick(*w->form().fields().find(name), index);
    }
    // Every optional box shown, as far as the interlocks allow at once.
    void showEveryBox() {
        set("chkTemperature", true);
        set("chkBufferRemote", true);
        pick("cmbBufferLevel", 1);
        pick("cmbDialup", 1);
        set("chkDUN", true);
        pick("cmbProxyType", 1);
        w->form().type(w->form().fields().txtProxyIP, "proxy.example.org");
        set("chkAutoFind", false);
        pick("cmbSystem", 2);
        pick("cmbLogType", 4);
        set("chkLogMail", true);
    }

private slots:
    void init() { w = showMainWindow(); }
    void cleanup() { w.reset(); }

    // The tabs the interlocks hide, in every combination, from the start state
    // and with every box shown.
    void everyCaptionFitsInEveryState() {
        for (bool boxes : {false, true}) {
            if (boxes) showEveryBox();
            for (int hidden = 0; hidden < 8; ++hidden) {
                set("chkRC5", hidden & 1);
                set("chkOGR", hidden & 2);
                pick("cmbNetwork", hidden & 4 ? 1 : 0);
                const QString state =
                    QStringLiteral(" (boxes %1, hidden tabs %2)").arg(boxes).arg(hidden);
                checkWindow(*w, state);
                if (QTest::currentTestFailed()) return;
            }
        }
    }

    // An item wider than its closed box still shows whole in the open list.
    void openListsShowWholeItems() {
        for (QComboBox* box : w->findChildren<QComboBox*>()) {
            box->showPopup();
            QAbstractItemView* list = box->view();
            QVERIFY2(list->sizeHintForColumn(0) <= list->viewport()->width(),
                     qPrintable(box->objectName()));
            box->hidePopup();
        }
    }

    // A platform theme sets fonts per class of control; none reaches the window.
    void theWindowFontHoldsForEveryControl() {
        const QFont themeFont(QStringLiteral("DejaVu Serif"), 16);
        for (const char* cls : {"QLineEdit", "QLabel", "QGroupBox", "QCheckBox", "QComboBox"})
            QApplication::setFont(themeFont, cls);
        TfrmMain fresh;
        const QFontInfo expected(windowFont());
        for (QWidget* c : fresh.findChildren<QWidget*>()) {
            if (c->isWindow()) continue;
            const QFontInfo info(c->font());
            QVERIFY2(info.family() == expected.family() &&
                         c->font().pointSizeF() == windowFont().pointSizeF(),
                     qPrintable(c->objectName() + QStringLiteral(": ") + info.family()));
        }
        QApplication::setFont(windowFont());
    }

    void dialogCaptionsFit() {
        TfrmID prompt(w.get(), QString());
        prompt.show();
        QVERIFY(QTest::qWaitForWindowExposed(&prompt));
        checkCaptions(&prompt, QStringLiteral(" (ID prompt)"));
        TfrmAbout about(w.get());
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        checkCaptions(&about, QStringLiteral(" (About box)"));
    }
};

QTEST_MAIN(CaptionsFitTest)
#include "captions_fit_test.moc"
