// Save meets another writer: a file changed since Open is asked about first, a
// lock held past the wait ends the save. The dialogs are answered from a timer,
// one step for each modal window, in the order they come up.
#include "window_fixture.h"

#include "../temp_dir.h"
#include "config/file_io.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <deque>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <unistd.h>

using namespace qe;

namespace {

const std::string kOpened = "[parameters]\nid=me@example.org\n";

struct Shown {
    QString name, text;
    bool cancelIsDefault = false;
    bool busyCursor = true;
};

// Saves as path through the Save dialog, then notes the message box that comes up
// and presses the button named, or else Cancel or OK.
Shown saveAndAnswer(TfrmMain& w, const std::string& path, const char* button) {
    Shown shown;
    std::deque<std::function<void(QWidget*)>> steps = {
        [&](QWidget* dialog) {
            // Typed into the name field: selectFile leaves a field that has the
            // focus as it is, and whether it has it yet depends on timing.
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QString::fromStdString(path));
            QMetaObject::invokeMethod(dialog, "accept");
        },
        [&](QWidget* modal) {
            auto* box = static_cast<QMessageBox*>(modal);
            shown = {box->objectName(), box->text(),
                     box->defaultButton() == box->button(QMessageBox::Cancel),
                     QApplication::overrideCursor() != nullptr};
            QAbstractButton* cancel = box->button(QMessageBox::Cancel);
            if (button)
                box->findChild<QPushButton*>(QLatin1String(button))->click();
            else
                (cancel ? cancel : box->button(QMessageBox::Ok))->click();
        }};
    const QWidget* answered = nullptr; // the modal the first step answered, never dereferenced
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || steps.empty()) return;
        // A modal still up after its answer is answered again: on a loaded machine a
        // dialog may be shown before it is ready to take one.
        if (answered && modal != answered) steps.pop_front();
        if (steps.empty()) return;
        answered = modal;
        steps.front()(modal);
    });
    timer.start(20);
    w.findChild<QAction*>(QStringLiteral("mnuSave"))->trigger();
    return shown;
}

} // namespace

class SaveConflictsTest : public QObject {
    Q_OBJECT

private slots:
    // A second writer between Open and Save: the question names the file and the
    // key it changed; Cancel keeps its change, Overwrite writes the window's values.
    void aFileChangedSinceOpenIsAskedAbout() {
        const test::TempDir dir;
        const std::string path = dir.write("client.ini", kOpened);
        auto w = test::showMainWindow();
        w->openFile(path);
        const std::string theirs = kOpened + "[processor-usage]\npriority=7\n";
        replaceFile(path, theirs);
        w->form().type(w->form().fields().seTimeOut, "90");
        for (const char* answer : {static_cast<const char*>(nullptr), "btnOverwrite"}) {
            const Shown shown = saveAndAnswer(*w, path, answer);
            QCOMPARE(shown.name, QStringLiteral("overwriteBox"));
            QVERIFY2(shown.text.startsWith(QString::fromStdString(path) +
                                           "\nhas been changed by another program"),
                     qPrintable(shown.text));
            QVERIFY(shown.text.contains(QStringLiteral("\n    processor-usage.priority\n")));
            QVERIFY(shown.cancelIsDefault && !shown.busyCursor);
            if (!answer) QCOMPARE(test::readBytes(path), theirs);
        }
        const std::string saved = test::readBytes(path);
        QVERIFY(saved.find("priority=7") == std::string::npos);
        QVERIFY(saved.find("nettimeout=90") != std::string::npos);
        // The window's own save is no change of another program's.
        QCOMPARE(saveAndAnswer(*w, path, nullptr).name, QString());
    }

    // Another open file holds the lock for the whole test: Save gives up after the
    // wait, says so in the general error box, and writes nothing.
    void aLockHeldPastTheWaitEndsTheSave() {
        const test::TempDir dir;
        const std::string path = dir.write("client.ini", kOpened);
        const int held = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        QCOMPARE(::flock(held, LOCK_EX), 0);
        auto w = test::showMainWindow();
        w->form().setLockWait(std::chrono::seconds(1));
        w->form().type(w->form().fields().txtID, "me@example.org");
        const Shown shown = saveAndAnswer(*w, path, nullptr);
        ::close(held);
        QCOMPARE(shown.name, QStringLiteral("appErrorBox"));
        QCOMPARE(shown.text, QString::fromStdString("Unable to write to " + path +
                                                    ".\nAnother program held the file locked for "
                                                    "all of the 1 second waited; nothing was "
                                                    "written."));
        QVERIFY(!shown.busyCursor);
        QCOMPARE(test::readBytes(path), kOpened);
    }
};

QTEST_MAIN(SaveConflictsTest)
#include "save_conflicts_test.moc"
