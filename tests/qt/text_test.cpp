// Values as text: bytes that are valid UTF-8 show as UTF-8, others byte for byte
// as Latin-1; Open and Save keep every byte of a value nobody edited, and an
// edited value is saved in the form it was shown in.
#include "window_fixture.h"

#include "../temp_dir.h"

#include <QLineEdit>

using namespace qe;

namespace {

// The main window with the Save dialog answered by a fixed name.
class SavingWindow : public TfrmMain {
public:
    std::string target;
    std::optional<std::string> chooseSaveFile(const std::string&, const std::string&) override {
        return target;
    }
};

} // namespace

class TextTest : public QObject {
    Q_OBJECT

private slots:
    void bytesSurviveOpenAndSaveAndEditsKeepTheirForm() {
        const test::TempDir dir;
        const std::string file = dir.write("client.ini", "[parameters]\n"
                                                         "id=a@example.org\n"
                                                         "[triggers]\n"
                                                         "exit-flag-filename=\xDC"
                                                         "bersicht.now\n"
                                                         "pause-watch-plist=a\xC3(b\xED\xA0\x80\n"
                                                         "[buffers]\n"
                                                         "buffer-file-basename=gr\xC3\xBC\xC3\x9F"
                                                         "e\n"
                                                         "checkpoint-filename=/caf\xE9\n");
        test::applyLookOnce();
        SavingWindow w;
        w.target = dir.file("saved.ini");
        w.show();
        w.openFile(file);
        const struct {
            const char* field;
            QString shown;
        } shown[] = {
            {"txtExitFile", QString::fromLatin1("\xDC"
                                                "bersicht.now")},
            {"txtPauseProgram", QString::fromLatin1("a\xC3(b\xED\xA0\x80")},
            {"txtBufferIn", QString::fromUtf8("gr\xC3\xBC\xC3\x9F"
                                              "e")},
        };
        for (const auto& s : shown)
            QCOMPARE(test::widgetOf<QLineEdit>(w, s.field)->text(), s.shown);

        auto* id = test::widgetOf<QLineEdit>(w, "txtID");
        id->setFocus();
        id->selectAll();
        // QTest types ASCII only; a key with its text stands in for the rest.
        for (const QChar ch : QString::fromUtf8("gr\xC3\xBC\xC3\x9F"
                                                "e\xE2\x82\xAC@example.org")) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(id, &press);
        }
        // Shown as Latin-1, edited at its end: the untouched "é" stays one byte.
        auto* checkpoint = test::widgetOf<QLineEdit>(w, "txtBufferCheck");
        checkpoint->setFocus();
        checkpoint->end(false);
        QTest::keyClicks(checkpoint, QStringLiteral("/2"));
        QCOMPARE(checkpoint->text(), QString::fromLatin1("/caf\xE9/2"));
        w.findChild<QAction*>(QStringLiteral("mnuSave"))->trigger();

        const std::string saved = test::readBytes(w.target);
        for (const char* line : {"id=gr\xC3\xBC\xC3\x9F"
                                 "e\xE2\x82\xAC@example.org",
                                 "exit-flag-filename=\xDC"
                                 "bersicht.now",
                                 "pause-watch-plist=a\xC3(b\xED\xA0\x80",
                                 "buffer-file-basename=gr\xC3\xBC\xC3\x9F"
                                 "e",
                                 "checkpoint-filename=/caf\xE9/2\n"})
            QVERIFY2(saved.find(line) != std::string::npos, line);
    }
};

QTEST_MAIN(TextTest)
#include "text_test.moc"
