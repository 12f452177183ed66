// The main window as a person meets it: every control bound by name, the state
// right after start, user actions reaching the model's interlocks, the menus, and
// a field that refuses to be left.
#include "window_fixture.h"

#include "ui/qt/spin_edit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace qe;
using namespace qe::test;

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TfrmMain> w;

    bool onScreen(const char* name) { return widgetOf(*w, name)->isVisibleTo(w.get()); }
    // Shown by its own flag, whatever its page or containers do.
    bool ownShown(const char* name) { return !widgetOf(*w, name)->isHidden(); }

private slots:
    void init() { w = showMainWindow(); }
    void cleanup() { w.reset(); }

    void everyControlHasExactlyOneWidgetOfItsName() {
        const Fields& f = w->form().fields();
        QSet<QString> names;
        for (const Control* c : f.all()) {
            const QString name = QString::fromStdString(c->name());
            names.insert(name);
            const auto found = w->findChildren<QWidget*>(name);
            QVERIFY2(found.size() == 1, qPrintable(name));
            QCOMPARE(w->widgetOf(c->name()), found.first());
        }
        // Every widget named like a model control (by prefix) is one of them.
        static const char* const prefixes[] = {"txt", "se",  "chk", "rb",  "cmb", "pnl",
                                               "grb", "lbl", "tab", "btn", "img"};
        for (const QWidget* child : w->findChildren<QWidget*>()) {
            const QString name = child->objectName();
            for (const char* prefix : prefixes)
                if (name.startsWith(QLatin1String(prefix)) && name.size() > 3 &&
                    name.at(static_cast<int>(strlen(prefix))).isUpper())
                    QVERIFY2(names.contains(name), qPrintable(name));
        }
    }

    void windowCaptionMenusAndFirstPage() {
        QCOMPARE(w->objectName(), QStringLiteral("frmMain"));
        QCOMPARE(w->windowTitle(), title());
        QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(w->windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(w->windowFlags() & Qt::WindowSystemMenuHint);
        QCOMPARE(w->menuBar()->objectName(), QStringLiteral("mmMain"));
        auto* open = w->findChild<QAction*>(QStringLiteral("mnuOpen"));
        auto* save = w->findChild<QAction*>(QStringLiteral("mnuSave"));
        QVERIFY(open && save);
        QCOMPARE(open->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(save->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QVERIFY(w->findChild<QAction*>(QStringLiteral("mnuClose")));
        QVERIFY(w->findChild<QAction*>(QStringLiteral("mnuAbout")));
        QCOMPARE(w->pageControl().current(), 0);
        QVERIFY(onScreen("txtID"));
        QVERIFY(!onScreen("chkRestart"));
    }

    void stateAfterStartFollowsTheModel() {
        const TabRows& tabs = *w->pageControl().tabs();
        QVERIFY(!tabs.isTabShown(13));
        for (int i = 0; i < 13; ++i)
            QVERIFY(tabs.isTabShown(i));
        QCOMPARE(widgetOf<QComboBox>(*w, "cmbLogPeriod")->currentIndex(), -1);
        QCOMPARE(widgetOf<QComboBox>(*w, "cmbOGR")->currentText(), QStringLiteral("2"));
        QVERIFY(!widgetOf(*w, "cmbLogPeriod")->isEnabled());
        QVERIFY(!ownShown("pnlTemp"));
        QVERIFY(!ownShown("pnlProxyServer"));
        QVERIFY(!ownShown("grbAuthorize"));
        QVERIFY(!ownShown("pnlKeyserverOther"));
        QVERIFY(!ownShown("pnlLogOptions"));
        QVERIFY(ownShown("txtExitFile"));
        QVERIFY(ownShown("grbDialup"));
        QVERIFY(!widgetOf(*w, "txtProxyUser")->isEnabled());
        QVERIFY(!widgetOf(*w, "lblProxyPass")->isEnabled());
        QCOMPARE(widgetOf<QLineEdit>(*w, "txtExitFile")->text(), QStringLiteral("ExitRC5.now"));
        QCOMPARE(widgetOf<QLineEdit>(*w, "txtLogMailPort")->text(), QStringLiteral("25"));
        QVERIFY(widgetOf<QCheckBox>(*w, "chkBattery")->isChecked());
        QVERIFY(widgetOf<QCheckBox>(*w, "chkFallback")->isChecked());
        QCOMPARE(widgetOf(*w, "imgFont")->size(), QSize(10, 16));
        auto* pass = widgetOf<QLineEdit>(*w, "txtProxyPass");
        QCOMPARE(pass->echoMode(), QLineEdit::Password);
        pass->setText(QStringLiteral("ab"));
        QCOMPARE(pass->displayText(), QStringLiteral("**")); // one "*" per character
        pass->clear();
    }

    void clickingChkTemperatureShowsThePanel() {
        clickTab(*w, 1);
        auto* box = widgetOf<QCheckBox>(*w, "chkTemperature");
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(box->isChecked());
        QVERIFY(w->form().fields().chkTemperature.checked());
        QVERIFY(onScreen("pnlTemp"));
        QVERIFY(onScreen("sePauseTemp"));
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(!box->isChecked());
        QVERIFY(!onScreen("pnlTemp"));
    }

    void checkingChkRC5HidesItsTab() {
        clickTab(*w, 3);
        QTest::mouseClick(widgetOf(*w, "chkRC5"), Qt::LeftButton);
        QVERIFY(!w->pageControl().tabs()->isTabShown(8));
        QVERIFY(!widgetOf(*w, "cmbRC5")->isEnabled());
        QVERIFY(!widgetOf(*w, "lblRC5")->isEnabled());
        // Disabling the other project brings this one back.
        QTest::mouseClick(widgetOf(*w, "chkOGR"), Qt::LeftButton);
        QVERIFY(w->pageControl().tabs()->isTabShown(8));
        QVERIFY(!w->pageControl().tabs()->isTabShown(9));
        QVERIFY(!widgetOf<QCheckBox>(*w, "chkRC5")->isChecked());
    }

    void typingAProxyAddressEnablesTheUserName() {
        Fields& f = w->form().fields();
        clickTab(*w, 6);
        QComboBox* type = widgetOf<QComboBox>(*w, "cmbProxyType");
        type->setFocus();
        QTest::keyClick(type, Qt::Key_Down); // a person's pick: activated, not code
        QCOMPARE(f.cmbProxyType.index(), 1);
        QVERIFY(onScreen("pnlProxyServer"));
        QVERIFY(onScreen("grbAuthorize"));
        QCOMPARE(widgetOf<QLineEdit>(*w, "txtProxyPort")->text(), QStringLiteral("8080"));

        auto* ip = widgetOf<QLineEdit>(*w, "txtProxyIP");
        ip->setFocus();
        QTest::keyClicks(ip, "proxy");
        QCOMPARE(f.txtProxyIP.text(), std::string("proxy"));
        QVERIFY(widgetOf(*w, "txtProxyUser")->isEnabled());
        QVERIFY(widgetOf(*w, "lblProxyPass")->isEnabled());
        ip->selectAll();
        QTest::keyClick(ip, Qt::Key_Delete);
        QVERIFY(!widgetOf(*w, "txtProxyUser")->isEnabled());
    }

    // Typed text is stored as UTF-8, "€" included; the model's bytes show as
    // UTF-8 when they are valid UTF-8 and as Latin-1 otherwise.
    void typedTextIsUtf8AndBytesShowAsText() {
        auto* id = widgetOf<QLineEdit>(*w, "txtID");
        id->setFocus();
        // QTest types ASCII only; a key with its text stands in for the rest.
        for (const QChar ch : QString::fromUtf8("Jörg€")) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(id, &press);
        }
        QCOMPARE(w->form().fields().txtID.text(), std::string("J\xC3\xB6rg\xE2\x82\xAC"));
        // sePriority holds one byte: a two-byte digit does not fit and is left out.
        clickTab(*w, 10);
        auto* priority = widgetOf<SpinEdit>(*w, "sePriority");
        priority->setFocus();
        QKeyEvent arabicThree(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                              QString(QChar(0x663)));
        QTest::keyClick(priority, Qt::Key_Backspace);
        QApplication::sendEvent(priority, &arabicThree);
        QCOMPARE(w->form().fields().sePriority.text(), std::string());
        QCOMPARE(priority->text(), QString());
        const struct {
            const char* bytes;
            QString shown;
        } cases[] = {
            {"\xC3\xA9t\xC3\xA9", QString::fromUtf8("été")},
            {"\xA9\xFF", QString::fromLatin1("\xA9\xFF")},
            {"a\xC3", QString::fromLatin1("a\xC3")},                // cut-off sequence
            {"\xED\xA0\x80", QString::fromLatin1("\xED\xA0\x80")},  // a UTF-16 surrogate
            {"\xC0\xAF", QString::fromLatin1("\xC0\xAF")},          // overlong "/"
            {"\xEF\xBB\xBFx", QChar(0xFEFF) + QStringLiteral("x")}, // the mark stays
        };
        for (const auto& c : cases) {
            w->form().fields().txtID.setText(c.bytes);
            w->refresh();
            QCOMPARE(id->text(), c.shown);
            QCOMPARE(w->form().fields().txtID.text(), std::string(c.bytes));
        }
    }

    void failingFileNameKeepsFocusAndPage() {
        clickTab(*w, 1);
        auto* exitFile = widgetOf<QLineEdit>(*w, "txtExitFile");
        exitFile->setFocus();
        QTRY_VERIFY(exitFile->hasFocus());
        exitFile->selectAll();
        QTest::keyClicks(exitFile, "a*b");
        {
            ModalCloser closer;
            clickTab(*w, 3);
            QTRY_COMPARE(closer.closed(), 1);
        }
        QCOMPARE(w->pageControl().current(), 1);
        QCOMPARE(w->form().fields().activePage(), 1);
        // The window's focus child: what has the focus once the window is active
        // again (offscreen, nothing reactivates it after the message box).
        QTRY_COMPARE(w->focusWidget(), exitFile);
        QCOMPARE(exitFile->text(), QStringLiteral("a*b"));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QVERIFY(exitFile->hasFocus());

        // Tab out: refused again.
        {
            ModalCloser closer;
            QTest::keyClick(exitFile, Qt::Key_Tab);
            QTRY_COMPARE(closer.closed(), 1);
        }
        QTRY_COMPARE(w->focusWidget(), exitFile);

        // Once corrected, the switch goes through.
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        exitFile->selectAll();
        QTest::keyClicks(exitFile, "ab");
        clickTab(*w, 3);
        QCOMPARE(w->pageControl().current(), 3);
    }

    void leavingASpinFieldAppliesItsLimits() {
        clickTab(*w, 5);
        auto* timeout = widgetOf(*w, "seTimeOut");
        auto* edit = timeout->findChild<QLineEdit*>();
        timeout->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(w->form().fields().seTimeOut.text(), std::string());
        widgetOf(*w, "cmbNetwork")->setFocus();
        QCOMPARE(edit->text(), QStringLiteral("60"));
        timeout->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, "999");
        widgetOf(*w, "cmbNetwork")->setFocus();
        QCOMPARE(edit->text(), QStringLiteral("300"));
    }

    void openingAMenuIsNotLeavingAField() {
        clickTab(*w, 1);
        auto* exitFile = widgetOf<QLineEdit>(*w, "txtExitFile");
        exitFile->setFocus();
        exitFile->selectAll();
        QTest::keyClicks(exitFile, "a|b");
        ModalCloser closer;
        QTest::keyClick(w.get(), Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::activePopupWidget(), 60000);
        QApplication::activePopupWidget()->close();
        // A leave rule's error box would come up while these events are handled,
        // and the closer would close it before they return.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        QCOMPARE(closer.closed(), 0);
    }

    // The Save dialog, with no save target chosen yet, starts where the opened
    // file lies; it proposes no name (the dialogs are independent).
    void saveDialogStartsInTheOpenedFilesFolder() {
        QTemporaryDir folder;
        const QString opened = folder.filePath(QStringLiteral("client.ini"));
        QString saveFolder, saveName;
        const auto answer = [](std::function<void(QFileDialog&)> with) {
            QTimer::singleShot(0, [with] {
                if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
                    with(*dialog);
            });
        };
        answer([&](QFileDialog& d) {
            // Typed into the name field: selectFile leaves a field that has the
            // focus as it is, and whether it has it yet depends on timing.
            d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(opened);
            QMetaObject::invokeMethod(&d, "accept");
        });
        w->findChild<QAction*>(QStringLiteral("mnuOpen"))->trigger();
        w->form().type(w->form().fields().txtID, "someone@example.org");
        answer([&](QFileDialog& d) {
            saveFolder = d.directory().absolutePath();
            saveName = d.selectedFiles().value(0);
            d.reject();
        });
        w->findChild<QAction*>(QStringLiteral("mnuSave"))->trigger();
        QCOMPARE(saveFolder, QDir(folder.path()).absolutePath());
        QVERIFY(!saveName.endsWith(QStringLiteral("client.ini")));
    }

    // A file dropped on the window, or on a field that takes text, opens as
    // File > Open opens it; a drag of two files or of a folder is refused.
    void droppedFileOpensAsOpenDoes() {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("dropped.ini"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("[triggers]\nexit-flag-filename=dropped.now\n");
        out.close();
        const auto drop = [](QWidget* target, const QList<QUrl>& urls) {
            QMimeData data;
            data.setUrls(urls);
            data.setText(QStringLiteral("as text"));
            QDragEnterEvent enter({2, 2}, Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(target, &enter);
            if (!enter.isAccepted()) return false;
            QDropEvent dropped({2, 2}, Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(target, &dropped);
            QApplication::processEvents(); // the file opens once the drop is over
            return dropped.isAccepted();
        };
        const Fields& f = w->form().fields();
        const QUrl url = QUrl::fromLocalFile(file);
        QVERIFY(!drop(w.get(), {url, url}));
        QVERIFY(!drop(w.get(), {QUrl::fromLocalFile(folder.path())}));
        QCOMPARE(f.txtExitFile.text(), std::string("ExitRC5.now"));
        auto* exitFile = widgetOf<QLineEdit>(*w, "txtExitFile");
        for (QWidget* target : {static_cast<QWidget*>(w.get()), static_cast<QWidget*>(exitFile)}) {
            w->form().cleanINI();
            w->refresh();
            QVERIFY(drop(target, {url}));
            QCOMPARE(f.txtExitFile.text(), std::string("dropped.now"));
            QCOMPARE(exitFile->text(), QStringLiteral("dropped.now"));
            QCOMPARE(w->form().saveFolder(), QDir(folder.path()).absolutePath().toStdString());
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
