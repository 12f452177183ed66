// The ID prompt, the About box and the two error boxes, driven as a person would:
// modal windows are answered from a timer once they are up.
#include "window_fixture.h"

#include "ui/qt/error_box.h"
#include "ui/qt/frm_about.h"
#include "ui/qt/frm_id.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>
#include <stdexcept>

using namespace qe;

namespace {

// Runs answer on the next modal window once it is up. Whatever answer does, the
// window is closed afterwards so that a failed check cannot hang the test.
void onModal(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] {
        QPointer<QWidget> modal = QApplication::activeModalWidget();
        if (!modal) {
            onModal(answer);
            return;
        }
        if (!QTest::qWaitForWindowActive(modal)) qWarning("the modal window did not become active");
        answer(modal);
        if (modal && modal->isVisible()) modal->close();
    });
}

template <typename T> T* child(QWidget* w, const char* name) {
    T* found = w->findChild<T*>(QLatin1String(name));
    if (!found) qWarning("no child %s", name);
    return found;
}

struct PromptRun {
    std::optional<QString> result;
    bool visibleAfterKeys = false;
};

// Asks with text; type is added at the end of txtID2, then keys are sent to the focused
// control, and finish ends the prompt.
PromptRun runPrompt(const QString& text, const QString& type, QList<Qt::Key> keys,
                    std::function<void(QWidget*)> finish) {
    PromptRun run;
    onModal([&](QWidget* prompt) {
        auto* txt = child<QLineEdit>(prompt, "txtID2");
        QTest::keyClick(txt, Qt::Key_End); // the text starts selected
        QTest::keyClicks(txt, type);
        for (Qt::Key key : keys)
            QTest::keyClick(QApplication::focusWidget(), key);
        run.visibleAfterKeys = prompt->isVisible();
        if (run.visibleAfterKeys) finish(prompt);
    });
    run.result = TfrmID::ask(nullptr, text);
    return run;
}

void clickButton(QWidget* w, const char* name) {
    QTest::mouseClick(child<QPushButton>(w, name), Qt::LeftButton);
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    // ID prompt

    void idPromptLayout() {
        TfrmID prompt(nullptr, QString());
        QCOMPARE(prompt.windowTitle(), QStringLiteral("ID"));
        QCOMPARE(prompt.size(), QSize(294, 101));
        QCOMPARE(prompt.minimumSize(), prompt.maximumSize());
        const Qt::WindowFlags flags = prompt.windowFlags();
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);

        QCOMPARE(child<QLabel>(&prompt, "lblID2")->pos(), QPoint(16, 16));
        QCOMPARE(child<QLabel>(&prompt, "lblID2")->text(),
                 QStringLiteral("Please insert a valid ID (E-Mail):"));
        QCOMPARE(child<QLineEdit>(&prompt, "txtID2")->geometry(), QRect(16, 32, 265, 21));
        auto* ok = child<QPushButton>(&prompt, "btnOK");
        auto* cancel = child<QPushButton>(&prompt, "btnCancel");
        QCOMPARE(ok->geometry(), QRect(48, 64, 75, 25));
        QCOMPARE(cancel->geometry(), QRect(160, 64, 75, 25));
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
        QVERIFY(ok->isDefault());
        QVERIFY(!cancel->isDefault());
    }

    void idPromptTabOrder() {
        TfrmID prompt(nullptr, QStringLiteral("a@b.c")); // OK enabled, so it takes a tab stop
        prompt.show();
        QVERIFY(QTest::qWaitForWindowActive(&prompt));
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("txtID2"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("btnOK"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("btnCancel"));
    }

    void okStartsFromTheGivenText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("empty") << "" << false;
        QTest::newRow("spaces only") << "   " << false;
        QTest::newRow("no @") << "user.example.org" << false;
        QTest::newRow("dot right after @") << "a@.b.c" << false;
        QTest::newRow("dot only before @") << "a.b@c" << false;
        QTest::newRow("well formed") << "a@b.c" << true;
        QTest::newRow("@ first") << "@b.c" << true;
        QTest::newRow("dot at the end") << "a@b." << true;
    }
    void okStartsFromTheGivenText() {
        QFETCH(QString, text);
        QFETCH(bool, enabled);
        TfrmID prompt(nullptr, text);
        QCOMPARE(child<QLineEdit>(&prompt, "txtID2")->text(), text);
        QCOMPARE(child<QPushButton>(&prompt, "btnOK")->isEnabled(), enabled);
    }

    void okFollowsTheTextAsTyped() {
        TfrmID prompt(nullptr, QString());
        auto* txt = child<QLineEdit>(&prompt, "txtID2");
        auto* ok = child<QPushButton>(&prompt, "btnOK");
        const struct {
            const char* typed;
            bool enabled;
        } steps[] = {{"a", false}, {"@", false}, {".", false}, {"x", false}};
        for (const auto& step : steps) {
            QTest::keyClicks(txt, QLatin1String(step.typed));
            QCOMPARE(ok->isEnabled(), step.enabled);
        }
        // "a@.x": a character must stand between "@" and the first "." after it.
        QTest::keyClick(txt, Qt::Key_Home);
        QTest::keyClick(txt, Qt::Key_Right);
        QTest::keyClick(txt, Qt::Key_Right);
        QTest::keyClicks(txt, QStringLiteral("b"));
        QCOMPARE(txt->text(), QStringLiteral("a@b.x"));
        QVERIFY(ok->isEnabled());
        QTest::keyClick(txt, Qt::Key_Backspace);
        QVERIFY(!ok->isEnabled());
        txt->setText(QStringLiteral("me@host.org")); // a change from code counts too
        QVERIFY(ok->isEnabled());
    }

    void enterWhileOkIsDisabledDoesNothing() {
        const PromptRun run = runPrompt(QStringLiteral("bad"), QString(), {Qt::Key_Return},
                                        [](QWidget* w) { clickButton(w, "btnCancel"); });
        QVERIFY(run.visibleAfterKeys);
        QVERIFY(!run.result);
    }

    void enterWhileOkIsEnabledGivesOk() {
        const PromptRun run = runPrompt(QStringLiteral("a@b"), QStringLiteral(".c"),
                                        {Qt::Key_Enter}, [](QWidget*) {});
        QVERIFY(!run.visibleAfterKeys);
        QCOMPARE(run.result, std::optional<QString>(QStringLiteral("a@b.c")));
    }

    void escapeDoesNothing() {
        // Neither with OK disabled nor enabled, nor with the focus on Cancel.
        const PromptRun run =
            runPrompt(QStringLiteral("x"), QString(), {Qt::Key_Escape}, [](QWidget* w) {
                child<QLineEdit>(w, "txtID2")->setText("a@b.c");
                QTest::keyClick(w, Qt::Key_Escape);
                child<QPushButton>(w, "btnCancel")->setFocus();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
                if (w->isVisible()) clickButton(w, "btnOK");
            });
        QVERIFY(run.visibleAfterKeys);
        QCOMPARE(run.result, std::optional<QString>(QStringLiteral("a@b.c")));
    }

    void closeBoxGivesCancel() {
        const PromptRun run =
            runPrompt(QStringLiteral("a@b.c"), QString(), {}, [](QWidget* w) { w->close(); });
        QVERIFY(!run.result);
    }

    void cancelGivesCancelEvenWithAGoodText() {
        const PromptRun run = runPrompt(QStringLiteral("a@b.c"), QString(), {},
                                        [](QWidget* w) { clickButton(w, "btnCancel"); });
        QVERIFY(!run.result);
    }

    void okReturnsTheTextUntrimmed() {
        const PromptRun run = runPrompt(QString(), QStringLiteral("  me@host.org  "), {},
                                        [](QWidget* w) { clickButton(w, "btnOK"); });
        QCOMPARE(run.result, std::optional<QString>(QStringLiteral("  me@host.org  ")));
    }

    // Confirmed as shown, the core's bytes come back unchanged, Latin-1 included;
    // an edit comes back as UTF-8.
    void byteTextsComeBackUnchangedOrAsUtf8() {
        const std::string id = "j\xf6rg@h\xf6st.org";
        const struct {
            QString typed;
            std::string result;
        } cases[] = {{QString(), id},
                     {QStringLiteral("\u20ac"), "j\xc3\xb6rg@h\xc3\xb6st.org\xe2\x82\xac"}};
        for (const auto& c : cases) {
            onModal([&](QWidget* w) {
                auto* txt = child<QLineEdit>(w, "txtID2");
                QCOMPARE(txt->text(), QString::fromUtf8("j\u00f6rg@h\u00f6st.org"));
                txt->setText(txt->text() + c.typed);
                clickButton(w, "btnOK");
            });
            QCOMPARE(TfrmID::askBytes(nullptr, id), std::optional<std::string>(c.result));
        }
    }

    void promptIsCentredOverItsOwnerAndFreshEachTime() {
        QWidget owner;
        owner.setGeometry(100, 120, 500, 400);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        QList<QPointer<QWidget>> prompts;
        for (int i = 0; i < 2; ++i) {
            onModal([&](QWidget* w) {
                prompts.append(w);
                QCOMPARE(w->parentWidget(), &owner);
                QVERIFY((w->frameGeometry().center() - owner.frameGeometry().center())
                            .manhattanLength() <= 2);
                QCOMPARE(child<QLineEdit>(w, "txtID2")->text(), QStringLiteral("old"));
                child<QLineEdit>(w, "txtID2")->setText(QStringLiteral("changed"));
                clickButton(w, "btnCancel");
            });
            QVERIFY(!TfrmID::ask(&owner, QStringLiteral("old")));
        }
        QCOMPARE(prompts.size(), 2);
        QVERIFY(!prompts[0] && !prompts[1]); // released once answered
    }

    // About box

    void aboutLayout() {
        TfrmAbout about(nullptr);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QCOMPARE(about.windowTitle(), QStringLiteral("About..."));
        QCOMPARE(about.frameGeometry().topLeft(), QPoint(455, 254));
        QCOMPARE(about.frameGeometry().size(), QSize(305, 266));
        QVERIFY(about.minimumSize() != about.maximumSize()); // an ordinary sizeable frame

        auto* header = child<QLabel>(&about, "lblHeader");
        QCOMPARE(header->text(), test::title());
        QVERIFY(header->font().underline());
        QCOMPARE(header->font().pointSize(), 24);
        auto* left = child<QLabel>(&about, "imgLeft");
        auto* right = child<QLabel>(&about, "imgRight");
        QCOMPARE(left->size(), QSize(32, 32));
        QCOMPARE(right->size(), QSize(32, 32));
        QVERIFY(left->x() < header->x() && header->geometry().right() < right->x());

        const struct {
            const char* name;
            const char* caption;
        } groups[] = {{"gbProgramming", " Programming: "},
                      {"gbGraphics", " Graphics: "},
                      {"gbThanks", " Additional thanks to: "}};
        int below = header->geometry().bottom();
        for (const auto& g : groups) {
            auto* box = child<QGroupBox>(&about, g.name);
            QCOMPARE(box->title(), QLatin1String(g.caption));
            QCOMPARE(box->width(), 281);
            QVERIFY(box->y() > below); // stacked in this order
            below = box->geometry().bottom();
        }
        auto* close = child<QPushButton>(&about, "btnClose");
        QCOMPARE(close->text(), QStringLiteral("Close"));
        QVERIFY(close->isDefault());
        QVERIFY(close->y() > below);
        QVERIFY(qAbs(close->geometry().center().x() - about.rect().center().x()) <= 1);
    }

    void aboutClosesWith_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }
    void aboutClosesWith() {
        QFETCH(int, key);
        bool closed = false;
        onModal([&](QWidget* w) {
            QVERIFY(qobject_cast<TfrmAbout*>(w));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
            closed = !w->isVisible();
        });
        TfrmAbout::showModal(nullptr);
        QVERIFY(closed);
    }

    void aboutCloseButtonCloses() {
        bool closed = false;
        onModal([&](QWidget* w) {
            clickButton(w, "btnClose");
            closed = !w->isVisible();
        });
        TfrmAbout::showModal(nullptr);
        QVERIFY(closed);
    }

    void twoAboutBoxesInARowAreFresh() {
        QWidget owner;
        QPointer<QWidget> first;
        onModal([&](QWidget* w) {
            first = w;
            QCOMPARE(w->parentWidget(), &owner);
            w->setWindowTitle(QStringLiteral("changed"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        });
        TfrmAbout::showModal(&owner);
        QVERIFY(!first); // released when it closed

        QString secondTitle;
        onModal([&](QWidget* w) {
            secondTitle = w->windowTitle();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        TfrmAbout::showModal(&owner);
        QCOMPARE(secondTitle, QStringLiteral("About..."));
        QVERIFY(owner.findChildren<TfrmAbout*>().isEmpty());
    }

    // Error boxes

    void appErrorBoxAddsTheStop_data() {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << QByteArray("abc") << "abc.";
        QTest::newRow("digit") << QByteArray("'12x' is not a valid integer value")
                               << "'12x' is not a valid integer value.";
        QTest::newRow("ends with a stop")
            << QByteArray("Coding table entry not found.") << "Coding table entry not found.";
        QTest::newRow("code below the stop") << QByteArray("what?!") << "what?!";
        QTest::newRow("space") << QByteArray("abc ") << "abc ";
        QTest::newRow("slash, above the stop")
            << QByteArray("Unable to write to /tmp/") << "Unable to write to /tmp/.";
        QTest::newRow("Latin-1 letter") << QByteArray("caf\xe9") << QString::fromUtf8("caf\u00e9.");
    }
    void appErrorBoxAddsTheStop() {
        QFETCH(QByteArray, message);
        QFETCH(QString, shown);
        QWidget owner;
        QString title, text, objectName;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QList<QAbstractButton*> buttons;
        onModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            objectName = box->objectName();
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            QCOMPARE(box->buttons().size(), 1);
            QCOMPARE(box->standardButton(box->buttons().first()), QMessageBox::Ok);
            QCOMPARE(box->parentWidget(), &owner);
            box->button(QMessageBox::Ok)->click();
        });
        showAppError(&owner, std::runtime_error(message.toStdString()));
        QCOMPARE(objectName, QStringLiteral("appErrorBox"));
        QCOMPARE(title, test::title());
        QCOMPARE(text, shown);
        QCOMPARE(icon, QMessageBox::Critical);
    }

    void errorDialogShowsTheTextAsGiven() {
        // The file-name message: two lines and markup characters, shown as they are.
        const QString message = QStringLiteral(
            "The following symbols are not allowed to be used in filenames:\r\n\t* ? \" < > |");
        QString title, text, objectName;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        Qt::TextFormat format = Qt::AutoText;
        onModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            objectName = box->objectName();
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            format = box->textFormat();
            QCOMPARE(box->buttons().size(), 1);
            QCOMPARE(box->standardButton(box->buttons().first()), QMessageBox::Ok);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        showErrorDialog(nullptr, message);
        QCOMPARE(objectName, QStringLiteral("errorDialog"));
        QCOMPARE(title, QStringLiteral("Error"));
        QCOMPARE(text, message);
        QCOMPARE(icon, QMessageBox::Critical);
        QCOMPARE(format, Qt::PlainText);
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
