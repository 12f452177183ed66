// What a screen reader is told through QAccessible: a name for every field, check
// box, radio button and button, and the page tabs with the selected one.
#include "window_fixture.h"

#include "ui/qt/frm_about.h"
#include "ui/qt/frm_id.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace qe;
using namespace qe::test;

namespace {

QString nameOf(QWidget* w) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name) : QString();
}

// What a reader calls a field. On Linux Qt names a choice field by its current
// item and tells its label through the "labelled by" relation; a choice field
// with no label of its own carries its name as accessibleName.
QString readerName(QWidget* w) {
    if (!qobject_cast<QComboBox*>(w)) return nameOf(w);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    for (const auto& [label, relation] : iface->relations(QAccessible::Label))
        return label->text(QAccessible::Name);
    return w->accessibleName();
}

// The label standing for each field, by the field's widget.
QHash<QWidget*, QString> labelCaptions(QWidget& top) {
    QHash<QWidget*, QString> captions;
    for (QLabel* label : top.findChildren<QLabel*>())
        if (label->buddy()) captions.insert(label->buddy(), withoutMnemonic(label->text()));
    return captions;
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TfrmMain> w;

private slots:
    void init() { w = showMainWindow(); }
    void cleanup() { w.reset(); }

    // Every editor field and button; the fields of the hidden extra page have
    // their labels just the same.
    void everyControlHasItsCaptionAsName() {
        const QHash<QWidget*, QString> captions = labelCaptions(*w);
        for (const Control* c : w->form().fields().all()) {
            if (!c->isEditorField() && c->kind() != Kind::Button) continue;
            QWidget* widget = w->widgetOf(c->name());
            const QString name = readerName(widget);
            QVERIFY2(!name.trimmed().isEmpty(), c->name().c_str());
            if (captions.contains(widget)) QCOMPARE(name, captions.value(widget));
            if (!c->caption().empty())
                QCOMPARE(name, withoutMnemonic(QString::fromStdString(c->caption())));
        }
    }

    void tabRowListsTheShownPagesAndTheSelectedOne() {
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w->pageControl().tabs());
        QVERIFY(list);
        QCOMPARE(list->role(), QAccessible::PageTabList);
        const auto check = [&](const QStringList& expected, const QString& selected) {
            QCOMPARE(list->childCount(), expected.size());
            for (int i = 0; i < list->childCount(); ++i) {
                QAccessibleInterface* tab = list->child(i);
                QCOMPARE(tab->role(), QAccessible::PageTab);
                QCOMPARE(tab->text(QAccessible::Name), expected[i]);
                QCOMPARE(tab->state().selected, expected[i] == selected);
                QCOMPARE(list->indexOfChild(tab), i);
            }
        };
        const QStringList all = {"Email ID",    "Triggers", "Display",         "Miscellaneous",
                                 "Buffers",     "Network",  "Proxy Server",    "Keyserver",
                                 "RC5",         "OGR",      "Processor Usage", "Logging",
                                 "Mail Logging"};
        check(all, QStringLiteral("Email ID"));
        clickTab(*w, 5);
        w->form().pick(w->form().fields().cmbNetwork, 1);
        w->refresh();
        QStringList fewer = all;
        fewer.removeAll(QStringLiteral("Proxy Server"));
        fewer.removeAll(QStringLiteral("Keyserver"));
        check(fewer, QStringLiteral("Network"));
    }

    void dialogControlsAreNamed() {
        TfrmID prompt(w.get(), QString());
        QCOMPARE(nameOf(prompt.findChild<QLineEdit*>(QStringLiteral("txtID2"))),
                 QStringLiteral("Please insert a valid ID (E-Mail):"));
        for (QPushButton* button : prompt.findChildren<QPushButton*>())
            QCOMPARE(nameOf(button), button->text());
        TfrmAbout about(w.get());
        QCOMPARE(nameOf(about.findChild<QPushButton*>(QStringLiteral("btnClose"))),
                 QStringLiteral("Close"));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
