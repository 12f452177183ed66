// The editor started with a FILE, through the functions main() calls: the file is
// opened once the window is up, as Open opens it; the command line's table.
#include "startup.h"
#include "temp_dir.h"

#include "fields/keys.h"
#include "ui/qt/app_look.h"
#include "ui/qt/frm_main.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace qe;

class StartupTest : public QObject {
    Q_OBJECT

private:
    test::TempDir dir;

    // Starts the editor on file; returns the window and, through errorBox, the
    // object name of the modal box that came up (closed at once) while the window
    // stayed shown.
    std::unique_ptr<TfrmMain> start(const std::string& file, QString* errorBox = nullptr) {
        auto w = std::make_unique<TfrmMain>();
        QPointer<TfrmMain> window = w.get();
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                if (errorBox && window && window->isVisible()) *errorBox = modal->objectName();
                modal->close();
            }
        });
        watcher.start(20);
        startEditor(*w, QString::fromStdString(file));
        // Queued behind the open; it may run while the open's error box is up, so
        // the start is over once it ran and no box is left.
        bool queued = false;
        QTimer::singleShot(0, [&] { queued = true; });
        if (!QTest::qWaitFor([&] { return queued && !QApplication::activeModalWidget(); }, 60000))
            qWarning("the start did not end within a minute");
        return w;
    }
    QString idShown(TfrmMain& w) { return qobject_cast<QLineEdit*>(w.widgetOf("txtID"))->text(); }

private slots:
    void initTestCase() { applyAppLook(*qApp); }

    void fileIsOpenedOnceTheWindowIsUp() {
        const auto w = start(dir.write("client.ini", "[parameters]\nid=me@example.org\n"));
        QVERIFY(w->isVisible());
        QCOMPARE(idShown(*w), QStringLiteral("me@example.org"));
    }

    void missingFileLoadsTheDefaultsOfAbsentKeys() {
        const auto w = start(dir.file("nothing-here.ini"));
        QCOMPARE(idShown(*w), QLatin1String(key::id.def)); // the reset leaves it empty
    }

    void badValueShowsTheErrorBoxAndTheWindowStays() {
        QString box;
        const auto w = start(
            dir.write("bad.ini", "[parameters]\nid=me@example.org\n[misc]\nrun-time-limit=2\n"),
            &box);
        QCOMPARE(box, QStringLiteral("appErrorBox"));
        QVERIFY(w->isVisible());
        QCOMPARE(idShown(*w), QStringLiteral("me@example.org")); // loaded before the error
    }

    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("file");
        using A = CommandLine::Action;
        QTest::newRow("nothing") << QStringList{} << int(A::Run) << QString();
        QTest::newRow("file") << QStringList{"a b.ini"} << int(A::Run) << "a b.ini";
        QTest::newRow("after --") << QStringList{"--", "-x.ini"} << int(A::Run) << "-x.ini";
        QTest::newRow("two files") << QStringList{"a", "b"} << int(A::Usage) << QString();
        QTest::newRow("unknown") << QStringList{"--bogus", "a"} << int(A::Usage) << QString();
        QTest::newRow("help") << QStringList{"-h", "a"} << int(A::Help) << QString();
        QTest::newRow("help-all") << QStringList{"--help-all"} << int(A::HelpAll) << QString();
        QTest::newRow("version") << QStringList{"-v"} << int(A::Version) << QString();
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, file);
        const CommandLine line = parseCommandLine(QStringList{"quenbyeditor"} + arguments);
        QCOMPARE(int(line.action), action);
        QCOMPARE(line.file, file);
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
