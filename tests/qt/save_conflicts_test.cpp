// Save meets another writer: one that changed the file since Open is asked about
// first, one that keeps the file locked ends the save after the wait. The dialogs
// are answered as a person would, from a timer, in the order they come up.
#include "window_fixture.h"

#include "../temp_dir.h"
#include "config/file_io.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <deque>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <unistd.h>

using namespace qe;

namespace {

const std::string kOpened = "[parameters]\nid=me@example.org\n";

// Runs each step on the next modal window that comes up, one window a step.
class ModalScript {
public:
    explicit ModalScript(std::deque<std::function<void(QWidget*)>> steps)
        : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == last_ || steps_.empty()) return;
            last_ = modal;
            const auto step = steps_.front();
            steps_.pop_front();
            step(modal);
        });
        timer_.start(20);
    }
    bool done() const { return steps_.empty(); }

private:
    std::deque<std::function<void(QWidget*)>> steps_;
    QPointer<QWidget> last_;
    QTimer timer_;
};

std::function<void(QWidget*)> saveAs(const std::string& path) {
    return [path](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        QVERIFY(dialog);
        dialog->selectFile(QString::fromStdString(path));
        QMetaObject::invokeMethod(dialog, "accept");
    };
}

using Pick = QAbstractButton* (*)(QMessageBox*);
QAbstractButton* cancel(QMessageBox* box) {
    return box->button(QMessageBox::Cancel);
}
QAbstractButton* overwrite(QMessageBox* box) {
    return box->findChild<QPushButton*>(QStringLiteral("btnOverwrite"));
}
QAbstractButton* ok(QMessageBox* box) {
    return box->button(QMessageBox::Ok);
}

struct Shown {
    QString name, text;
    bool cancelIsDefault = false;
    bool busyCursor = true;
};

// Notes what the box shows, then presses the button pick gives.
std::function<void(QWidget*)> answerBox(Pick pick, Shown& shown) {
    return [pick, &shown](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        shown = {box->objectName(), box->text(),
                 box->defaultButton() == box->button(QMessageBox::Cancel),
                 QApplication::overrideCursor() != nullptr};
        QAbstractButton* button = pick(box);
        QVERIFY(button);
        button->click();
    };
}

} // namespace

class SaveConflictsTest : public QObject {
    Q_OBJECT

private slots:
    // A second writer between Open and Save: Cancel keeps its change, Overwrite
    // writes the window's values.
    void aFileChangedSinceOpenIsAskedAbout() {
        const test::TempDir dir;
        const std::string path = dir.write("client.ini", kOpened);
        auto w = test::showMainWindow();
        w->openFile(path);
        const std::string theirs = kOpened + "[processor-usage]\npriority=7\n";
        replaceFile(path, theirs);
        w->form().type(w->form().fields().seTimeOut, "90");
        for (Pick answer : {cancel, overwrite}) {
            Shown shown;
            ModalScript script({saveAs(path), answerBox(answer, shown)});
            w->findChild<QAction*>(QStringLiteral("mnuSave"))->trigger();
            QVERIFY(script.done());
            QCOMPARE(shown.name, QStringLiteral("overwriteBox"));
            const QString& text = shown.text;
            QVERIFY2(text.startsWith(QString::fromStdString(path) +
                                     "\nhas been changed by another program"),
                     qPrintable(text));
            QVERIFY2(text.contains(QStringLiteral("\n    processor-usage.priority\n")),
                     qPrintable(text));
            QVERIFY(shown.cancelIsDefault);
            QVERIFY(!shown.busyCursor);
            if (answer == cancel) QCOMPARE(test::readBytes(path), theirs);
        }
        const std::string saved = test::readBytes(path);
        QVERIFY(saved.find("priority=7") == std::string::npos);
        QVERIFY(saved.find("nettimeout=90") != std::string::npos);
    }

    // A lock held for the whole test: Save gives up after the wait, says so in the
    // general error box, and writes nothing.
    void aLockHeldPastTheWaitEndsTheSave() {
        const test::TempDir dir;
        const std::string path = dir.write("client.ini", kOpened);
        const int held = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        QCOMPARE(::flock(held, LOCK_EX), 0);
        auto w = test::showMainWindow();
        w->form().setLockWait(std::chrono::seconds(1));
        w->form().type(w->form().fields().txtID, "me@example.org");
        Shown shown;
        ModalScript script({saveAs(path), answerBox(ok, shown)});
        w->findChild<QAction*>(QStringLiteral("mnuSave"))->trigger();
        ::close(held);
        QVERIFY(script.done());
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
