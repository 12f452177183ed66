// The window's fixed geometry: its size, the boxes' column, the field widths,
// captions that fit, the focus order, and boxes that keep their places.
#include "window_fixture.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTest>

using namespace qe;
using namespace qe::test;

class LayoutTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TfrmMain> w;

    QRect geometryOf(const char* name) { return widgetOf(*w, name)->geometry(); }

private slots:
    void init() { w = showMainWindow(); }
    void cleanup() { w.reset(); }

    void windowHasAFixedClientArea() {
        QCOMPARE(w->centralWidget()->size(), QSize(337, 416));
        QCOMPARE(w->height() - w->menuBar()->height(), 416);
        QCOMPARE(w->width(), 337);
        QCOMPARE(w->minimumSize(), w->maximumSize());
    }

    void fieldWidths_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("width");
        const auto rows = [](int width, std::initializer_list<const char*> names) {
            for (const char* name : names)
                QTest::newRow(name) << QString::fromLatin1(name) << width;
        };
        rows(281, {"txtID", "txtExitFile", "txtPauseFile", "txtPauseProgram", "txtClientLoc"});
        rows(285, {"cmbBufferLevel"});
        rows(209, {"txtBufferIn", "txtBufferOut", "txtBufferCheck", "txtBufferRemote",
                   "txtInterfaces", "txtDUN", "txtProxyUser", "txtProxyPass", "txtProxyIP",
                   "txtKeyserverIP", "txtLogFile", "txtLogMailSender", "txtLogMailReceiver",
                   "txtLogMailIP", "cmbDialup", "cmbProxyType", "cmbLogType"});
        rows(145, {"cmbNetwork", "cmbRC5BlockSize", "cmbRC5Core", "cmbOGRCore", "cmbSystem"});
        rows(121, {"cmbProgress", "seWorkComplete", "seLogMailSize"});
        rows(97, {"seLogNumber", "seLogSize"});
        rows(89, {"cmbLogPeriod"});
        rows(81, {"sePauseTemp", "seResumeTemp", "seTimeOut", "seRC5WorkFetch", "seRC5Hours",
                  "seOGRWorkFetch", "seCPU", "sePriority"});
        rows(57, {"txtProxyPort", "txtKeyserverPort", "txtLogMailPort", "cmbRC5", "cmbOGR",
                  "seHours", "seMinuts", "seBufferHours", "seBufferMinuts"});
    }
    void fieldWidths() {
        QFETCH(QString, name);
        QFETCH(int, width);
        QCOMPARE(widgetOf(*w, name.toLatin1().constData())->width(), width);
    }

    void boxesStandInOneColumn() {
        const Fields& f = w->form().fields();
        for (const Control* c : f.all()) {
            if (c->kind() != Kind::Box || !c->parent() || c->parent()->kind() != Kind::Page)
                continue;
            if (c->name() == "pnlDUN" || c->name() == "pnlProxyServer") continue;
            const QRect r = widgetOf(*w, c->name().c_str())->geometry();
            QVERIFY2(r.x() == 8 && r.width() == 313, c->name().c_str());
        }
    }

    // A widget sticking out of its parent would be cut off.
    void everyWidgetLiesInsideItsParent() {
        const Fields& f = w->form().fields();
        for (const Control* c : f.all()) {
            if (c->kind() == Kind::Page || c->kind() == Kind::PageControl) continue;
            QWidget* widget = w->widgetOf(c->name());
            const QRect inParent = widget->parentWidget()->rect();
            QVERIFY2(inParent.contains(widget->geometry()), c->name().c_str());
        }
    }

    void captionsFitTheirControls() {
        for (QLabel* label : w->findChildren<QLabel*>()) {
            if (label->text().isEmpty()) continue;
            QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->objectName()));
        }
        for (QAbstractButton* button : w->findChildren<QAbstractButton*>()) {
            if (button->text().isEmpty()) continue;
            QVERIFY2(button->sizeHint().width() <= button->width(),
                     qPrintable(button->objectName()));
        }
        for (QGroupBox* group : w->findChildren<QGroupBox*>()) {
            const int title = group->fontMetrics().horizontalAdvance(group->title());
            QVERIFY2(title + 16 <= group->width(), qPrintable(group->objectName()));
        }
    }

    void labelsStandLevelWithTheirFields() {
        for (QLabel* label : w->findChildren<QLabel*>()) {
            QWidget* buddy = label->buddy();
            if (!buddy || buddy->parentWidget() != label->parentWidget()) continue;
            if (buddy->x() <= label->x()) continue; // a label on its own line above
            QVERIFY2(label->geometry().center().y() == buddy->geometry().center().y(),
                     qPrintable(label->objectName()));
        }
    }

    void everyPageFitsBelowTheTabs() {
        const QSize page = w->pageControl().stack()->size();
        QCOMPARE(page.width(), 329);
        for (int i = 0; i < w->form().fields().pageCount(); ++i) {
            QWidget* pageWidget = w->pageControl().stack()->widget(i);
            for (QWidget* child : pageWidget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                QVERIFY2(child->geometry().bottom() < page.height(),
                         qPrintable(child->objectName()));
        }
    }

    // The controls in each page's focus chain, in order, whether shown or not: top
    // to bottom and, within a row, left to right, every button of a radio group
    // included (Tab enters a group on its selected one). The proxy page reaches IP
    // and Port before the Authorize box below them.
    void focusFollowsTheReadingOrder() {
        const std::vector<QStringList> pages = {
            {"txtID"},
            {"chkRestart", "chkBattery", "chkExitFile", "txtExitFile", "txtPauseFile",
             "txtPauseProgram", "chkTemperature", "sePauseTemp", "rbPausekelvin", "rbPauseCelcius",
             "rbPauseFahrenheit", "rbPauseRankine", "seResumeTemp", "rbResumeKelvin",
             "rbResumeCelcius", "rbResumeFahrenheit", "rbResumeRankine"},
            {"chkHideClient", "cmbProgress"},
            {"cmbRC5", "chkRC5", "cmbOGR", "chkOGR", "seWorkComplete", "seHours", "seMinuts"},
            {"chkBufferMem", "txtBufferIn", "txtBufferOut", "txtBufferCheck", "chkBufferRemote",
             "txtBufferRemote", "cmbBufferLevel", "seBufferHours", "seBufferMinuts"},
            {"cmbNetwork", "seTimeOut", "cmbDialup", "txtInterfaces", "chkDUN", "txtDUN"},
            {"cmbProxyType", "chkProxyUUE", "txtProxyIP", "txtProxyPort", "txtProxyUser",
             "txtProxyPass"},
            {"chkAutoFind", "chkFallback", "txtKeyserverIP", "txtKeyserverPort"},
            {"seRC5WorkFetch", "seRC5Hours", "cmbRC5BlockSize", "cmbRC5Core"},
            {"seOGRWorkFetch", "cmbOGRCore"},
            {"cmbSystem", "chkForceCPU", "seCPU", "sePriority"},
            {"cmbLogType", "txtLogFile", "rbLogNumber", "rbLogPeriod", "seLogNumber",
             "cmbLogPeriod", "seLogSize"},
            {"chkLogMail", "seLogMailSize", "txtLogMailSender", "txtLogMailReceiver",
             "txtLogMailIP", "txtLogMailPort"},
            {"txtClientLoc", "chkClientMinimize", "seFontX", "seFontY", "btnFont", "btnRegistry"},
        };
        QStackedWidget& stack = *w->pageControl().stack();
        QCOMPARE(std::size_t(stack.count()), pages.size());
        for (int i = 0; i < stack.count(); ++i) {
            QWidget* page = stack.widget(i);
            QStringList chain;
            for (QWidget* next = page->nextInFocusChain(); next != page;
                 next = next->nextInFocusChain())
                if (page->isAncestorOf(next) && next->focusPolicy() != Qt::NoFocus &&
                    w->form().fields().find(next->objectName().toStdString()))
                    chain.append(next->objectName());
            QCOMPARE(chain, pages[std::size_t(i)]);
        }

        // The Tab key itself, where the proxy fields are shown.
        Form& form = w->form();
        form.pick(form.fields().cmbProxyType, 1);
        form.type(form.fields().txtProxyIP, "proxy");
        w->refresh();
        const QStringList& proxy = pages[6];
        clickTab(*w, 6);
        widgetOf(*w, "cmbProxyType")->setFocus();
        for (qsizetype i = 1; i < proxy.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), proxy[i]);
        }
    }

    // Tab enters a radio group on its selected button, never on another one.
    void focusEntersARadioGroupOnItsSelectedButton() {
        Form& form = w->form();
        form.click(form.fields().chkTemperature);
        form.click(form.fields().rbPauseCelcius);
        w->refresh();
        clickTab(*w, 1);
        widgetOf(*w, "sePauseTemp")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("rbPauseCelcius"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("seResumeTemp"));
    }

    void hiddenBoxesLeaveTheirGap() {
        clickTab(*w, 4);
        const QRect checking = geometryOf("grbBufferChecking");
        const QRect general = geometryOf("pnlBufferGeneral");
        QTest::mouseClick(widgetOf(*w, "chkBufferMem"), Qt::LeftButton);
        QVERIFY(widgetOf(*w, "pnlBuffer")->isHidden());
        QCOMPARE(geometryOf("grbBufferChecking"), checking);
        QCOMPARE(geometryOf("pnlBufferGeneral"), general);

        // Fewer tabs may mean fewer rows, but a page's boxes keep their places in it.
        const QRect network = geometryOf("grbDialup");
        w->form().pick(w->form().fields().cmbNetwork, 1);
        w->refresh();
        QCOMPARE(geometryOf("grbDialup"), network);
    }

    void overlaidPanelsAreDrawnOverTheirBox() {
        for (auto [panel, box] :
             {std::pair{"pnlDUN", "grbDialup"}, std::pair{"pnlProxyServer", "pnlProxy"}}) {
            QWidget* p = widgetOf(*w, panel);
            QWidget* b = widgetOf(*w, box);
            QCOMPARE(p->parentWidget(), b->parentWidget());
            QVERIFY2(b->geometry().contains(p->geometry()), panel);
            const auto siblings = p->parentWidget()->children();
            QVERIFY2(siblings.indexOf(p) > siblings.indexOf(b), panel); // later is on top
        }
    }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
