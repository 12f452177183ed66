// The page control's keys and tabs: Ctrl+Tab paging over the shown tabs, the
// underlined letters, and what becomes of the page in view when its tab goes.
#include "window_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QStackedWidget>
#include <QTest>

using namespace qe;
using namespace qe::test;

class PageKeysTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TfrmMain> w;

    int current() const {
        const int shown = w->pageControl().current();
        if (shown != w->form().fields().activePage()) return -100; // window and model disagree
        return shown;
    }
    void pickItem(const char* combo, int index) {
        w->form().pick(*w->form().fields().find(combo), index);
        w->refresh();
    }

private slots:
    void init() { w = showMainWindow(); }
    void cleanup() { w.reset(); }

    void firstTabIsCurrentNextToThePageAtStart() {
        TabRows& tabs = *w->pageControl().tabs();
        QCOMPARE(tabs.current(), 0);
        QCOMPARE(w->pageControl().current(), 0);
        for (int i = 1; i < tabs.count(); ++i)
            QVERIFY(tabs.tabRect(i).bottom() <= tabs.tabRect(0).bottom());
        clickTab(*w, 0); // the current tab takes a click without changing anything
        QCOMPARE(current(), 0);
    }

    void ctrlTabPagesForwardAndWraps() {
        auto* id = widgetOf(*w, "txtID");
        id->setFocus();
        QTest::keyClick(id, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(current(), 1);
        clickTab(*w, 12);
        QCOMPARE(current(), 12);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(current(), 0); // tabExtra skipped
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                        Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(current(), 12);
    }

    void ctrlTabSkipsHiddenTabs() {
        clickTab(*w, 5);
        QComboBox* network = widgetOf<QComboBox>(*w, "cmbNetwork");
        network->setFocus();
        QTest::keyClick(network, Qt::Key_Down); // "Disabled": proxy and keyserver tabs go
        QVERIFY(!w->pageControl().tabs()->isTabShown(6));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(current(), 8);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab,
                        Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(current(), 5);
    }

    void altLetterSelectsTheFirstShownPageWithIt() {
        auto* id = widgetOf(*w, "txtID");
        id->setFocus();
        QTest::keyClick(id, Qt::Key_M, Qt::AltModifier);
        QCOMPARE(current(), 3); // "&Miscellaneous", never "&Mail Logging"
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_X, Qt::AltModifier);
        QCOMPARE(current(), 6);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_U, Qt::AltModifier);
        QCOMPARE(current(), 10);
    }

    void altXSelectsNothingWhileTheProxyTabIsHidden() {
        pickItem("cmbNetwork", 1);
        QVERIFY(!w->pageControl().tabs()->isTabShown(6));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_X, Qt::AltModifier);
        QCOMPARE(current(), 0); // tabExtra's "E&xtra" never counts
    }

    void letterAloneWorksOnlyWhereNothingIsTyped() {
        clickTab(*w, 1);
        auto* box = widgetOf<QCheckBox>(*w, "chkRestart");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_D);
        QCOMPARE(current(), 2);
        auto* id = widgetOf<QLineEdit>(*w, "txtID");
        clickTab(*w, 0);
        id->setFocus();
        QTest::keyClick(id, Qt::Key_D);
        QCOMPARE(current(), 0);
        QCOMPARE(id->text(), QStringLiteral("d"));
    }

    void altFOpensTheFileMenu() {
        widgetOf(*w, "txtID")->setFocus();
        QTest::keyClick(w.get(), Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QCOMPARE(QApplication::activePopupWidget()->objectName(), QStringLiteral("mnuFile"));
        QApplication::activePopupWidget()->close();
        QCOMPARE(current(), 0);
    }

    void hidingThePageInViewSelectsTheNextShownPage() {
        clickTab(*w, 6);
        pickItem("cmbNetwork", 1);
        QCOMPARE(current(), 8); // proxy and keyserver both hidden
        clickTab(*w, 9);
        clickTab(*w, 3);
        QTest::mouseClick(widgetOf(*w, "chkRC5"), Qt::LeftButton);
        QVERIFY(!w->pageControl().tabs()->isTabShown(8));
        QCOMPARE(current(), 3);
    }

    void hiddenTabsAreNotDrawnAndRowsReflow() {
        TabRows& tabs = *w->pageControl().tabs();
        const int rows = tabs.rowCount();
        QVERIFY(rows >= 2);
        QVERIFY(tabs.tabRect(13).isEmpty());
        const int pageTop = w->pageControl().stack()->y();
        pickItem("cmbNetwork", 1);
        QVERIFY(tabs.tabRect(6).isEmpty());
        QVERIFY(tabs.tabRect(7).isEmpty());
        // Every shown tab lies inside the rows and none overlaps another.
        for (int i = 0; i < tabs.count(); ++i)
            for (int j = i + 1; j < tabs.count(); ++j)
                QVERIFY(!tabs.tabRect(i).intersects(tabs.tabRect(j)));
        QVERIFY(w->pageControl().stack()->y() <= pageTop);
    }

    void hoveredTabIsTracked() {
        TabRows& tabs = *w->pageControl().tabs();
        QVERIFY(tabs.hasMouseTracking());
        const QImage before = tabs.grab().toImage();
        QTest::mouseMove(&tabs, tabs.tabRect(2).center());
        QCOMPARE(tabs.hovered(), 2);
        QVERIFY(tabs.grab().toImage() != before); // the tab under the mouse is highlighted
        QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(2).center());
        QCOMPARE(current(), 2);
    }
};

QTEST_MAIN(PageKeysTest)
#include "page_keys_test.moc"
