#include "binder.h"

#include "page_control.h"
#include "spin_edit.h"
#include "widget_map.h"

#include "ui/form/tooltip.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStringDecoder>
#include <QVariant>

namespace qe {

QString fromBytes(const std::string& bytes) {
    const std::string text = textOf(bytes);
    // ConvertInitialBom: a leading byte order mark is part of the value.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return utf8.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

std::string toBytes(const QString& text, TextForm form) {
    return bytesOf(text.toStdString(), form);
}

namespace {

// The form in which an editor shows its value: set when the model's bytes are put
// into it, kept while the user edits, so that an edit of a Latin-1 value stays
// Latin-1 even where its new bytes happen to be valid UTF-8.
constexpr const char* kFormProperty = "qeTextForm";

TextForm shownForm(const QWidget* editor) {
    return editor->property(kFormProperty).toInt() == static_cast<int>(TextForm::Latin1)
               ? TextForm::Latin1
               : TextForm::Utf8;
}

// Shows bytes in editor, unless its text already stands for them.
template <typename Editor> void showBytes(Editor* editor, const std::string& bytes) {
    if (toBytes(editor->text(), shownForm(editor)) == bytes) return;
    editor->setProperty(kFormProperty, static_cast<int>(formOf(bytes)));
    editor->setText(fromBytes(bytes));
}

} // namespace

void connectUserInput(Form& form, const WidgetMap& widgets, QObject* context,
                      const RunAction& run) {
    for (const WidgetMap::Entry& e : widgets.entries()) {
        Control& c = *e.control;
        e.widget->setToolTip(QString::fromStdString(fieldTooltip(c)));
        switch (c.kind()) {
        case Kind::Text:
            QObject::connect(static_cast<QLineEdit*>(e.widget), &QLineEdit::textEdited, context,
                             [&form, &c, run, w = e.widget](const QString& text) {
                                 run([&] { form.type(c, toBytes(text, shownForm(w))); });
                             });
            break;
        case Kind::Spin: {
            auto* spin = static_cast<SpinEdit*>(e.widget);
            // The form cuts the text to MaxLength; the sync then shows the cut.
            QObject::connect(spin, &SpinEdit::textEdited, context,
                             [&form, &c, run, spin](const QString& text) {
                                 run([&] { form.type(c, toBytes(text, shownForm(spin))); });
                             });
            QObject::connect(spin, &SpinEdit::stepRequested, context,
                             [&form, &c, run](int delta) { run([&] { form.step(c, delta); }); });
            break;
        }
        case Kind::Check:
        case Kind::Radio:
        case Kind::Button:
            // The widget has toggled itself already; the model toggles from its own
            // state and the sync afterwards settles any difference.
            QObject::connect(static_cast<QAbstractButton*>(e.widget), &QAbstractButton::clicked,
                             context, [&form, &c, run] { run([&] { form.click(c); }); });
            break;
        case Kind::Choice:
            QObject::connect(static_cast<QComboBox*>(e.widget), &QComboBox::activated, context,
                             [&form, &c, run](int index) { run([&] { form.pick(c, index); }); });
            break;
        default:
            break;
        }
    }
}

namespace {

void syncValue(const Control& c, QWidget* w) {
    switch (c.kind()) {
    case Kind::Text:
        showBytes(static_cast<QLineEdit*>(w), c.text());
        break;
    case Kind::Spin:
        showBytes(static_cast<SpinEdit*>(w), c.text());
        break;
    case Kind::Check: {
        auto* box = static_cast<QAbstractButton*>(w);
        if (box->isChecked() != c.checked()) box->setChecked(c.checked());
        break;
    }
    case Kind::Radio: {
        auto* radio = static_cast<QRadioButton*>(w);
        // Tab enters a group on its selected button; the arrow keys move within it.
        radio->setFocusPolicy(c.checked() ? Qt::StrongFocus : Qt::ClickFocus);
        if (radio->isChecked() == c.checked()) break;
        // An exclusive button refuses to be cleared while it is the checked one;
        // the model alone decides, so clear it outside the group's rule.
        radio->setAutoExclusive(false);
        radio->setChecked(c.checked());
        radio->setAutoExclusive(true);
        break;
    }
    case Kind::Choice: {
        auto* combo = static_cast<QComboBox*>(w);
        if (combo->currentIndex() != c.index()) combo->setCurrentIndex(c.index());
        break;
    }
    case Kind::Image:
        if (w->size() != QSize(c.width(), c.height())) w->resize(c.width(), c.height());
        break;
    default:
        break;
    }
}

void syncFlags(const Control& c, QWidget* w) {
    if (c.kind() == Kind::Page || c.kind() == Kind::PageControl) return;
    if (w->isHidden() == c.shown()) w->setVisible(c.shown());
    // The widget's own flag, not the one it inherits from a disabled container.
    if (w->testAttribute(Qt::WA_ForceDisabled) == c.enabled()) w->setEnabled(c.enabled());
}

} // namespace

void syncWidgets(const Fields& f, const WidgetMap& widgets, PageControl& pages) {
    for (const WidgetMap::Entry& e : widgets.entries()) {
        const QSignalBlocker blocker(e.widget);
        syncValue(*e.control, e.widget);
        syncFlags(*e.control, e.widget);
    }
    TabRows& tabs = *pages.tabs();
    for (int i = 0; i < f.pageCount(); ++i)
        tabs.setTabShown(i, f.page(i).shown());
    if (pages.current() != f.activePage()) pages.setCurrent(f.activePage());
}

} // namespace qe
