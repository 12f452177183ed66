// The real Open and Save dialogs with a typed name: an existing name is taken as
// typed, ".ini" is added only to a new name without an extension.
#include "window_fixture.h"

#include "../temp_dir.h"

#include <QLineEdit>

using namespace qe;

class FileDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void typedNamesFollowTheExtensionRule() {
        const test::TempDir dir;
        dir.write("clientrc", "");
        TfrmMain w;
        const struct {
            bool save;
            const char* typed;
            const char* result;
        } cases[] = {{false, "clientrc", "clientrc"},
                     {false, "new", "new.ini"},
                     {true, "clientrc", "clientrc"},
                     {true, "new.cfg", "new.cfg"}};
        for (const auto& c : cases) {
            QTimer::singleShot(100, [&] {
                QWidget* dialog = QApplication::activeModalWidget();
                auto* name = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                                    : nullptr;
                if (!name) return;
                name->setText(QString::fromUtf8(c.typed));
                QTest::keyClick(name, Qt::Key_Return);
            });
            const std::string last = dir.file("proposed.ini");
            const auto chosen = c.save ? w.chooseSaveFile(last, {}) : w.chooseOpenFile(last);
            QCOMPARE(chosen, std::optional<std::string>(dir.file(c.result)));
        }
    }
};

QTEST_MAIN(FileDialogsTest)
#include "file_dialogs_test.moc"
