#include "pages.h"

#include "app_look.h"
#include "framed_box.h"
#include "page_control.h"
#include "spin_edit.h"
#include "widget_map.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>

#include <algorithm>

namespace qe {
namespace {

// Heights of the single-line controls, as the 8-point look gives them.
constexpr int kEditHeight = 21;
constexpr int kCheckHeight = 17;
constexpr int kLabelHeight = 13;
constexpr int kButtonHeight = 25;
// Every box: 8 pixels from the page's left edge, 313 wide.
constexpr int kBoxX = 8;
constexpr int kBoxWidth = 313;
// Inside a box: labels at 16, fields at 88. Borderless rows sit 4 pixels into
// their box, so the same columns are 12 and 84 there.
constexpr int kLabelX = 16;
constexpr int kFieldX = 88;
constexpr int kRowX = 4;
constexpr int kRowWidth = kBoxWidth - 2 * kRowX;
constexpr int kRowLabelX = kLabelX - kRowX;
constexpr int kRowFieldX = kFieldX - kRowX;
// A label on a line of its own stands this far above its field.
constexpr int kLabelAbove = 16;

QString latin1(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// A read-only text drawn on the window's face instead of the edit background.
void onFaceColour(QWidget* w) {
    QPalette palette = w->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    w->setPalette(palette);
}

// The password field's style: the application's, but one "*" per character.
class PasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return '*';
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

// A choice field whose open list is as wide as its longest item, wider than the
// box itself when an item needs it.
class ChoiceBox : public QComboBox {
public:
    using QComboBox::QComboBox;

    void showPopup() override {
        QAbstractItemView* list = view();
        int width = list->sizeHintForColumn(0) + 2 * list->frameWidth();
        if (count() > maxVisibleItems()) width += list->verticalScrollBar()->sizeHint().width();
        list->setMinimumWidth(width);
        QComboBox::showPopup();
    }
};

class Builder {
public:
    Builder(WidgetMap& widgets) : widgets_(widgets) {}

    void page(Control& c, QWidget* w) { widgets_.add(c, w); }

    QWidget* box(Control& c, int y, int height) { return put(c, {kBoxX, y, kBoxWidth, height}); }
    // A borderless row inside a box, 4 pixels in from its sides.
    QWidget* row(Control& c, int y, int height) { return put(c, {kRowX, y, kRowWidth, height}); }

    // Any control at r (in the 96 dots-per-inch layout) in its model parent's
    // widget, which must be built already.
    QWidget* put(Control& c, QRect r) {
        QWidget* parent = widgets_.widget(*c.parent());
        if (!parent)
            qFatal("%s is built before its parent %s", c.name().c_str(),
                   c.parent()->name().c_str());
        QWidget* w = create(c, parent);
        w->setGeometry(scaled(r));
        widgets_.add(c, w);
        return w;
    }
    // A check field, radio field or heading as wide as its caption needs, or width.
    QWidget* check(Control& c, int x, int y, int width = 0) {
        return fitted(put(c, {x, y, width, kCheckHeight}), width);
    }
    QWidget* heading(Control& label, int x, int y) {
        return fitted(put(label, {x, y, 0, kLabelHeight}), 0);
    }
    // Label at labelX and field at fieldX on one row; the label's text is level
    // with the middle of the field.
    QWidget* labelled(Control& label, Control& field, int labelX, int fieldX, int y, int width) {
        QWidget* w = put(field, {fieldX, y, width, kEditHeight});
        auto* l = static_cast<QLabel*>(put(label, {labelX, y, fieldX - labelX - 2, kEditHeight}));
        setBuddy(l, w);
        return w;
    }
    // The same with a box's columns.
    QWidget* boxRow(Control& label, Control& field, int y, int width) {
        return labelled(label, field, kLabelX, kFieldX, y, width);
    }
    // The same with a borderless row's columns.
    QWidget* rowRow(Control& label, Control& field, int y, int width) {
        return labelled(label, field, kRowLabelX, kRowFieldX, y, width);
    }
    // Label on a line of its own at y, field under it.
    QWidget* above(Control& label, Control& field, int x, int y, int width) {
        auto* l = static_cast<QLabel*>(heading(label, x, y));
        QWidget* w = put(field, {x, y + kLabelAbove, width, kEditHeight});
        setBuddy(l, w);
        return w;
    }
    // A field with no label of its own, named for screen readers after the
    // control whose caption stands for it.
    void nameAfter(Control& field, const Control& captioned) {
        widgets_.widget(field)->setAccessibleName(
            withoutMnemonic(latin1(captioned.caption())).trimmed());
    }

private:
    // The buddy label also names the field for screen readers.
    static void setBuddy(QLabel* label, QWidget* field) { label->setBuddy(field); }
    static QWidget* fitted(QWidget* w, int width) {
        if (width == 0) w->resize(w->sizeHint().width(), w->height());
        return w;
    }

    static QWidget* create(Control& c, QWidget* parent) {
        const QString caption = latin1(c.caption());
        switch (c.kind()) {
        case Kind::Box:
            if (c.has(Group)) return new GroupBox(caption, parent);
            if (c.has(Framed)) return new FramedBox(parent);
            return new QWidget(parent);
        case Kind::Label: {
            auto* l = new QLabel(caption, parent);
            l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            return l;
        }
        case Kind::Text: {
            auto* e = new QLineEdit(parent);
            if (c.has(Password)) {
                auto* style = new PasswordStyle;
                style->setParent(e);
                e->setStyle(style);
                e->setEchoMode(QLineEdit::Password);
            }
            if (c.has(ReadOnly)) {
                e->setReadOnly(true);
                e->setFrame(false);
                onFaceColour(e);
            }
            return e;
        }
        case Kind::Spin: {
            auto* s = new SpinEdit(parent);
            s->setMaxLength(c.maxLength());
            s->setNoTyping(c.has(NoTyping));
            return s;
        }
        case Kind::Check:
            return new QCheckBox(caption, parent);
        case Kind::Radio:
            return new QRadioButton(caption, parent);
        case Kind::Choice: {
            auto* combo = new ChoiceBox(parent);
            for (const std::string& item : c.items())
                combo->addItem(latin1(item));
            combo->setMaxVisibleItems(12);
            return combo;
        }
        case Kind::Button:
            return new QPushButton(caption, parent);
        case Kind::Image: {
            auto* image = new QLabel(parent);
            image->setPixmap(sampleCharacter());
            image->setScaledContents(true);
            return image;
        }
        case Kind::Memo: {
            auto* memo = new QPlainTextEdit(caption, parent);
            memo->setReadOnly(true);
            memo->setFrameShape(QFrame::NoFrame);
            memo->setFocusPolicy(Qt::NoFocus);
            memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            onFaceColour(memo);
            return memo;
        }
        case Kind::Page:
        case Kind::PageControl:
            break;
        }
        return new QWidget(parent);
    }

    WidgetMap& widgets_;
};

void buildEmailId(Builder& b, Fields& f) {
    b.box(f.pnlGeneral, 8, 57);
    b.above(f.lblID, f.txtID, kLabelX, 10, 281);
}

void buildTriggers(Builder& b, Fields& f) {
    b.box(f.pnlTriggers, 8, 318);
    b.check(f.chkRestart, kLabelX, 8, 281);
    b.check(f.chkBattery, kLabelX, 28, 281);
    b.check(f.chkExitFile, kLabelX, 48, 281);
    b.put(f.txtExitFile, {kLabelX, 67, 281, kEditHeight});
    b.nameAfter(f.txtExitFile, f.chkExitFile);
    b.above(f.lblPauseFile, f.txtPauseFile, kLabelX, 96, 281);
    b.above(f.lblPauseProgram, f.txtPauseProgram, kLabelX, 140, 281);
    b.check(f.chkTemperature, kLabelX, 186, 281);

    // The spin fields stand in a column at about half the box's width.
    constexpr int spinX = 148;
    b.put(f.pnlTemp, {kRowX, 206, kRowWidth, 106});
    const auto units = [&b](Control& kelvin, Control& celcius, Control& fahrenheit,
                            Control& rankine) {
        b.check(kelvin, 0, 2);
        b.check(celcius, 66, 2);
        b.check(fahrenheit, 136, 2);
        b.check(rankine, 214, 2);
    };
    b.labelled(f.lblPauseTemp, f.sePauseTemp, kRowLabelX, spinX, 2, 81);
    b.put(f.pnlPause, {kRowLabelX, 26, 281, 22});
    units(f.rbPausekelvin, f.rbPauseCelcius, f.rbPauseFahrenheit, f.rbPauseRankine);
    b.labelled(f.lblResumeTemp, f.seResumeTemp, kRowLabelX, spinX, 54, 81);
    b.put(f.pnlResume, {kRowLabelX, 78, 281, 22});
    units(f.rbResumeKelvin, f.rbResumeCelcius, f.rbResumeFahrenheit, f.rbResumeRankine);
}

void buildDisplay(Builder& b, Fields& f) {
    b.box(f.pnlDisplay, 8, 81);
    b.check(f.chkHideClient, kLabelX, 10, 281);
    b.above(f.lblProgress, f.cmbProgress, kLabelX, 34, 121);
}

void buildMisc(Builder& b, Fields& f) {
    b.box(f.grbPriority, 8, 80);
    b.boxRow(f.lblRC5, f.cmbRC5, 20, 57);
    b.check(f.chkRC5, 160, 22);
    b.boxRow(f.lblOGR, f.cmbOGR, 48, 57);
    b.check(f.chkOGR, 160, 50);

    b.box(f.grbRunUntill, 96, 104);
    // Right-aligned: its label is wider than the label column.
    b.labelled(f.lblWorkComplete, f.seWorkComplete, kLabelX, kBoxWidth - kLabelX - 121, 20, 121);
    b.heading(f.lblTimeShutdown, kLabelX, 50);
    b.boxRow(f.lblHours, f.seHours, 68, 57);
    b.labelled(f.lblMinuts, f.seMinuts, 184, kBoxWidth - kLabelX - 57, 68, 57);
}

void buildBuffers(Builder& b, Fields& f) {
    b.box(f.pnlBufferGeneral, 8, 166);
    b.check(f.chkBufferMem, kLabelX, 8, 281);
    b.row(f.pnlBuffer, 28, 132);
    // "Checkpoint file:" needs a little more room than the usual label column.
    constexpr int labelX = 12 - kRowX;
    constexpr int fieldX = kRowFieldX + 4;
    b.labelled(f.lblBufferIn, f.txtBufferIn, labelX, fieldX, 0, 209);
    b.labelled(f.lblBufferOut, f.txtBufferOut, labelX, fieldX, 26, 209);
    b.labelled(f.lblBufferCheck, f.txtBufferCheck, labelX, fieldX, 52, 209);
    b.check(f.chkBufferRemote, labelX, 80, 281);
    b.put(f.pnlBufferRemote, {0, 102, kRowWidth, 24});
    b.labelled(f.lblBufferRemote, f.txtBufferRemote, labelX, fieldX, 0, 209);

    b.box(f.grbBufferChecking, 184, 104);
    b.put(f.cmbBufferLevel, {14, 20, 285, kEditHeight});
    b.nameAfter(f.cmbBufferLevel, f.grbBufferChecking);
    b.row(f.pnlBufferLevel, 46, 50);
    b.heading(f.lblBufferTime, kRowLabelX, 2);
    b.rowRow(f.lblBufferHours, f.seBufferHours, 20, 57);
    b.labelled(f.lblBufferMinuts, f.seBufferMinuts, 180, kRowWidth - kRowLabelX - 57, 20, 57);
}

void buildNetwork(Builder& b, Fields& f) {
    b.box(f.pnlNetwork, 8, 64);
    b.boxRow(f.lblNetwork, f.cmbNetwork, 8, 145);
    b.row(f.pnlTimeOut, 34, 24);
    b.rowRow(f.lblTimeOut, f.seTimeOut, 0, 81);

    constexpr int dialupY = 80;
    b.box(f.grbDialup, dialupY, 132);
    b.boxRow(f.lblDialupWatcher, f.cmbDialup, 20, 209);
    b.row(f.pnlDialup, 46, 50);
    b.rowRow(f.lblInterfaces, f.txtInterfaces, 0, 209);
    b.check(f.chkDUN, kRowLabelX, 28, 281);
    // A page child laid over the lower part of the dial-up group, under chkDUN.
    QWidget* dun = b.put(f.pnlDUN, {kBoxX + kRowX, dialupY + 100, kRowWidth, 24});
    b.rowRow(f.lblDUN, f.txtDUN, 0, 209);
    dun->raise();
}

void buildProxy(Builder& b, Fields& f) {
    b.box(f.pnlProxy, 8, 112);
    b.boxRow(f.lblProxyType, f.cmbProxyType, 8, 209);
    b.check(f.chkProxyUUE, kLabelX, 36, 281);

    b.box(f.grbAuthorize, 128, 76);
    b.row(f.pnlProxyUser, 18, 24);
    b.rowRow(f.lblProxyUser, f.txtProxyUser, 0, 209);
    b.row(f.pnlProxyPass, 44, 24);
    b.rowRow(f.lblProxyPass, f.txtProxyPass, 0, 209);

    // A page child laid over the lower part of pnlProxy, under chkProxyUUE.
    QWidget* server = b.put(f.pnlProxyServer, {kBoxX + kRowX, 8 + 58, kRowWidth, 48});
    b.rowRow(f.lblProxyIP, f.txtProxyIP, 0, 209);
    b.rowRow(f.lblProxyPort, f.txtProxyPort, 26, 57);
    server->raise();
}

void buildKeyserver(Builder& b, Fields& f) {
    b.box(f.pnlKeyserver, 8, 112);
    b.check(f.chkAutoFind, kLabelX, 8, 281);
    b.row(f.pnlKeyserverOther, 30, 76);
    b.check(f.chkFallback, kRowLabelX, 0, 281);
    b.rowRow(f.lblKeyserverIP, f.txtKeyserverIP, 22, 209);
    b.rowRow(f.lblKeyserverPort, f.txtKeyserverPort, 48, 57);
}

void buildRC5(Builder& b, Fields& f) {
    b.box(f.grbRC5, 8, 78);
    b.boxRow(f.lblRC5Fetch, f.seRC5WorkFetch, 20, 81);
    b.boxRow(f.lblRC5Hours, f.seRC5Hours, 46, 81);
    b.box(f.pnlRC5, 94, 64);
    b.boxRow(f.lblRC5BlockSize, f.cmbRC5BlockSize, 8, 145);
    b.boxRow(f.lblRC5Core, f.cmbRC5Core, 34, 145);
}

void buildOGR(Builder& b, Fields& f) {
    b.box(f.grbOGR, 8, 52);
    b.boxRow(f.lblOGRWorkFetch, f.seOGRWorkFetch, 20, 81);
    b.box(f.pnlOGR, 68, 38);
    b.boxRow(f.lblOGRCore, f.cmbOGRCore, 8, 145);
}

void buildProc(Builder& b, Fields& f) {
    b.box(f.pnlSystem, 8, 88);
    b.boxRow(f.lblSystem, f.cmbSystem, 8, 145);
    b.check(f.chkForceCPU, kLabelX, 36, 281);
    b.row(f.pnlCPU, 58, 24);
    b.rowRow(f.lblCPU, f.seCPU, 0, 81);
    b.box(f.pnlPriority, 104, 38);
    b.boxRow(f.lblPriority, f.sePriority, 8, 81);
}

void buildLogging(Builder& b, Fields& f) {
    b.box(f.pnlLog, 8, 38);
    b.boxRow(f.lblLogType, f.cmbLogType, 8, 209);

    b.box(f.pnlLogOptions, 54, 122);
    b.row(f.pnlLogFile, 8, 24);
    b.rowRow(f.lblLogFile, f.txtLogFile, 0, 209);
    b.row(f.pnlLogInterval, 36, 48);
    b.put(f.lblLogInterval, {kRowLabelX, 0, kRowFieldX - kRowLabelX - 2, kCheckHeight});
    b.check(f.rbLogNumber, kRowFieldX, 0, 104);
    b.check(f.rbLogPeriod, kRowFieldX + 108, 0, 89);
    b.put(f.seLogNumber, {kRowFieldX, 22, 97, kEditHeight});
    b.put(f.cmbLogPeriod, {kRowFieldX + 108, 22, 89, kEditHeight});
    b.nameAfter(f.seLogNumber, f.rbLogNumber);
    b.nameAfter(f.cmbLogPeriod, f.rbLogPeriod);
    b.row(f.pnlLogSize, 90, 24);
    b.rowRow(f.lblLogSize, f.seLogSize, 0, 97);
}

void buildMailLogging(Builder& b, Fields& f) {
    b.check(f.chkLogMail, kBoxX, 8, kBoxWidth);
    b.box(f.pnlLogMail, 32, 90);
    b.boxRow(f.lblLogMailSize, f.seLogMailSize, 8, 121);
    b.boxRow(f.lblLogMailSender, f.txtLogMailSender, 34, 209);
    b.boxRow(f.lblLogMailReceiver, f.txtLogMailReceiver, 60, 209);
    b.box(f.grbLogMailServer, 130, 78);
    b.boxRow(f.lblLogMailIP, f.txtLogMailIP, 20, 209);
    b.boxRow(f.lblLogMailPort, f.txtLogMailPort, 46, 57);
}

void buildExtra(Builder& b, Fields& f) {
    b.put(f.mmClient, {kBoxX, 4, kBoxWidth, 80});
    b.box(f.grbClient, 88, 84);
    b.above(f.lblClientLoc, f.txtClientLoc, kLabelX, 18, 281);
    b.check(f.chkClientMinimize, 12, 60, 297);

    b.box(f.GroupBox1, 178, 80);
    b.boxRow(f.lblFontX, f.seFontX, 20, 57);
    b.boxRow(f.lblFontY, f.seFontY, 48, 57);
    b.heading(f.lblFontPreview, 200, 20);
    b.put(f.pnlFontImage, {200, 36, 41, 38});
    b.put(f.imgFont, {1, 1, f.imgFont.width(), f.imgFont.height()});

    b.put(f.btnFont, {kBoxX, 268, 120, kButtonHeight});
    b.put(f.btnRegistry, {kBoxX + kBoxWidth - 120, 268, 120, kButtonHeight});
}

// Tab moves through a page as a reader reads it: row by row from the top, and
// within a row from left to right. Controls whose middles lie within a few pixels
// of each other share a row.
void setFocusOrder(const Fields& f, const WidgetMap& widgets, const PageControl& pages) {
    struct Place {
        QWidget* widget;
        QPoint centre;
    };
    for (int i = 0; i < f.pageCount(); ++i) {
        QWidget* page = pages.stack()->widget(i);
        std::vector<Place> places;
        for (Control* c : f.all()) {
            QWidget* w = widgets.widget(*c);
            if (c->page() != &f.page(i) || !w || c->kind() == Kind::Label ||
                c->kind() == Kind::Box || w->focusPolicy() == Qt::NoFocus)
                continue;
            places.push_back({w, w->mapTo(page, w->rect().center())});
        }
        std::stable_sort(places.begin(), places.end(), [](const Place& a, const Place& b) {
            return a.centre.y() < b.centre.y();
        });
        const int sameRow = scaled(4);
        for (auto row = places.begin(); row != places.end();) {
            auto end = std::find_if(row, places.end(), [&](const Place& p) {
                return p.centre.y() - row->centre.y() > sameRow;
            });
            std::stable_sort(row, end, [](const Place& a, const Place& b) {
                return a.centre.x() < b.centre.x();
            });
            row = end;
        }
        for (std::size_t k = 1; k < places.size(); ++k)
            QWidget::setTabOrder(places[k - 1].widget, places[k].widget);
    }
}

} // namespace

QPixmap sampleCharacter() {
    // A light "A" on black, as the client's console draws it.
    QImage image(12, 28, QImage::Format_Grayscale8);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(4, 6, 4, 2);
    p.drawRect(2, 8, 2, 14);
    p.drawRect(8, 8, 2, 14);
    p.drawRect(4, 14, 4, 2);
    p.setBrush(QColor(96, 96, 96));
    p.drawRect(3, 7, 1, 1);
    p.drawRect(8, 7, 1, 1);
    p.end();
    return QPixmap::fromImage(image);
}

void buildPages(Fields& f, PageControl& pages, WidgetMap& widgets) {
    using PageBuilder = void (*)(Builder&, Fields&);
    static const PageBuilder builders[] = {
        buildEmailId, buildTriggers, buildDisplay,     buildMisc,  buildBuffers,
        buildNetwork, buildProxy,    buildKeyserver,   buildRC5,   buildOGR,
        buildProc,    buildLogging,  buildMailLogging, buildExtra,
    };
    static_assert(std::size(builders) == 14);
    Builder b(widgets);
    widgets.add(f.pgcMain, &pages);
    for (int i = 0; i < f.pageCount(); ++i) {
        Control& page = f.page(i);
        b.page(page, pages.addPage(latin1(page.caption())));
        builders[i](b, f);
    }
    setFocusOrder(f, widgets, pages);
}

} // namespace qe
