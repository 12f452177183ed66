#include "page_control.h"

#include "app_look.h"
#include "page_tabs_accessible.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedWidget>
#include <QStyleOptionFocusRect>
#include <QStyleOptionTab>
#include <qdrawutil.h>

#include <algorithm>

namespace qe {
namespace {

// Room above the rows for the selected tab, which stands a little taller.
constexpr int kTopMargin = 2;
// Space between the page frame and the page inside it.
constexpr int kFrameMargin = 4;

} // namespace

QString withoutMnemonic(QString caption) {
    return caption.remove(QLatin1Char('&'));
}

TabRows::TabRows(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    // A click selects through the window, which moves the focus here itself once
    // the field that had it agrees to be left.
    setFocusPolicy(Qt::TabFocus);
    installPageTabsAccessible();
}

// The rows are laid out once the page control has its size.
void TabRows::addTab(const QString& caption) {
    tabs_.push_back({caption, true, {}, 0});
}

void TabRows::setTabShown(int index, bool shown) {
    Tab& tab = tabs_.at(static_cast<std::size_t>(index));
    if (tab.shown == shown) return;
    tab.shown = shown;
    reflow();
}

bool TabRows::isTabShown(int index) const {
    return tabs_.at(static_cast<std::size_t>(index)).shown;
}

void TabRows::setCurrent(int index) {
    if (current_ == index) return;
    current_ = index;
    reflow();
    notifyCurrentTab(this, index);
}

QRect TabRows::tabRect(int index) const {
    const Tab& tab = tabs_.at(static_cast<std::size_t>(index));
    return tab.shown ? tab.rect : QRect();
}

QStyleOptionTab TabRows::tabOption(int index) const {
    QStyleOptionTab option;
    option.initFrom(this);
    option.shape = QTabBar::RoundedNorth;
    option.position = QStyleOptionTab::Middle;
    if (index >= 0) {
        option.text = caption(index);
        option.rect = tabRect(index);
    }
    return option;
}

// As QTabBar measures a tab: the caption, the style's own space beside and above
// it, then the style's size for that content.
int TabRows::tabWidth(int index) const {
    const QStyleOptionTab option = tabOption(index);
    const int hspace = style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, this);
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, option.text);
    return style()
        ->sizeFromContents(QStyle::CT_TabBarTab, &option,
                           QSize(text.width() + scaled(hspace), rowHeight()), this)
        .width();
}

// The classic compact row: the caption's line and a few pixels, which keeps three
// rows of tabs above the tallest page.
int TabRows::rowHeight() const {
    return fontMetrics().height() + scaled(7);
}

int TabRows::heightForRows() const {
    return scaled(kTopMargin) + rows_ * rowHeight();
}

// Shown tabs flow left to right into rows; each row is stretched to the whole
// width when there are several, and the row holding the current tab is drawn
// last, next to the page, with the others rotated above it, as the classic
// multi-row tab control does.
void TabRows::reflow() {
    const int available = width();
    const int rh = rowHeight();
    std::vector<std::vector<Tab*>> rows;
    int x = 0;
    int selectedRow = -1;
    for (int i = 0; i < count(); ++i) {
        Tab& tab = tabs_[static_cast<std::size_t>(i)];
        if (!tab.shown) continue;
        if (tab.width == 0) tab.width = tabWidth(i);
        const int w = tab.width;
        if (rows.empty() || (x > 0 && x + w > available)) {
            rows.emplace_back();
            x = 0;
        }
        tab.rect = QRect(x, 0, w, rh);
        rows.back().push_back(&tab);
        if (i == current_) selectedRow = static_cast<int>(rows.size()) - 1;
        x += w;
    }
    const int count = static_cast<int>(rows.size());
    if (selectedRow < 0) selectedRow = count - 1;
    for (int r = 0; r < count; ++r) {
        auto& row = rows[static_cast<std::size_t>(r)];
        const int n = static_cast<int>(row.size());
        const int extra = count > 1 ? std::max(0, available - (row.back()->rect.right() + 1)) : 0;
        const int y = scaled(kTopMargin) + ((r - selectedRow - 1 + 2 * count) % count) * rh;
        int shift = 0;
        for (int i = 0; i < n; ++i) {
            const int grow = extra / n + (i < extra % n ? 1 : 0);
            QRect& rect = row[static_cast<std::size_t>(i)]->rect;
            rect = QRect(rect.x() + shift, y, rect.width() + grow, rh);
            shift += grow;
        }
    }
    const int oldHeight = heightForRows();
    rows_ = count;
    hovered_ = -1;
    update();
    if (oldHeight != heightForRows()) emit heightChanged();
}

void TabRows::remeasure() {
    for (Tab& tab : tabs_)
        tab.width = 0;
    reflow();
}

int TabRows::tabAt(const QPoint& pos) const {
    for (int i = 0; i < count(); ++i)
        if (tabRect(i).contains(pos)) return i;
    return -1;
}

// The classic tab, drawn by hand so that every style shows the outline and the
// selected tab: a raised face whose light edge runs up the left and along the
// top and whose shadow runs down the right. The selected tab stands two pixels
// taller and wider and covers the page frame's top edge below it. The style draws
// the caption, in the highlight colour while the mouse is over the tab, and the
// focus mark.
void TabRows::paintTab(QPainter& painter, int index) const {
    QStyleOptionTab option = tabOption(index);
    const bool selected = index == current_;
    const int lift = scaled(2);
    QRect r = option.rect;
    if (selected)
        r.adjust(-lift, 0, lift, kOverlap);
    else
        r.adjust(0, lift, 0, 0);
    const QPalette& pal = palette();
    painter.fillRect(r.adjusted(1, 1, -1, 0), pal.color(QPalette::Window));
    painter.setPen(pal.color(QPalette::Light));
    painter.drawLine(r.left(), r.bottom(), r.left(), r.top() + 2);
    painter.drawPoint(r.left() + 1, r.top() + 1);
    painter.drawLine(r.left() + 2, r.top(), r.right() - 2, r.top());
    painter.setPen(pal.color(QPalette::Dark));
    painter.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom());
    painter.setPen(pal.color(QPalette::Shadow));
    painter.drawLine(r.right(), r.top() + 2, r.right(), r.bottom());

    option.rect = selected ? r.adjusted(0, 0, 0, -kOverlap) : r;
    option.state &= ~(QStyle::State_MouseOver | QStyle::State_HasFocus);
    if (selected) option.state |= QStyle::State_Selected;
    if (index == hovered_ && !selected)
        option.palette.setColor(QPalette::WindowText, pal.color(QPalette::Highlight));
    style()->drawControl(QStyle::CE_TabBarTabLabel, &option, &painter, this);
    if (selected && hasFocus()) {
        // The classic look marks the focused tab whether or not the keyboard
        // moved the focus there.
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.state |= QStyle::State_KeyboardFocusChange;
        focus.rect = option.rect.adjusted(3, 3, -3, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void TabRows::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (int i = 0; i < count(); ++i)
        if (isTabShown(i) && i != current_) paintTab(painter, i);
    if (current_ >= 0 && current_ < count() && isTabShown(current_)) paintTab(painter, current_);
}

void TabRows::mousePressEvent(QMouseEvent* event) {
    const int i = tabAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && i >= 0) emit tabClicked(i);
}

void TabRows::mouseMoveEvent(QMouseEvent* event) {
    const int i = tabAt(event->position().toPoint());
    if (i == hovered_) return;
    hovered_ = i;
    update();
}

void TabRows::leaveEvent(QEvent*) {
    hovered_ = -1;
    update();
}

void TabRows::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        emit stepRequested(-1);
        break;
    case Qt::Key_Right:
        emit stepRequested(1);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void TabRows::resizeEvent(QResizeEvent*) {
    reflow();
}

void TabRows::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::StyleChange:
        remeasure();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

PageControl::PageControl(QWidget* parent)
    : QWidget(parent), tabs_(new TabRows(this)), stack_(new QStackedWidget(this)) {
    connect(tabs_, &TabRows::heightChanged, this, &PageControl::placeChildren);
}

QWidget* PageControl::addPage(const QString& caption) {
    auto* page = new QWidget;
    page->setAccessibleName(withoutMnemonic(caption));
    stack_->addWidget(page);
    tabs_->addTab(caption);
    return page;
}

void PageControl::setCurrent(int index) {
    stack_->setCurrentIndex(index);
    tabs_->setCurrent(index);
}

int PageControl::current() const {
    return tabs_->current();
}

void PageControl::placeChildren() {
    const int top = tabs_->heightForRows();
    // The selected tab reaches over the frame's top edge.
    tabs_->setGeometry(0, 0, width(), top + TabRows::kOverlap);
    const int margin = scaled(kFrameMargin);
    stack_->setGeometry(
        QRect(0, top, width(), height() - top).adjusted(margin, margin, -margin, -margin));
    update();
}

void PageControl::resizeEvent(QResizeEvent*) {
    // The rows need the width before they know their height.
    tabs_->resize(width(), tabs_->height());
    tabs_->reflow();
    placeChildren();
}

// The page frame: a raised panel in the window's face colour, on which every page
// is drawn.
void PageControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect frame(0, tabs_->heightForRows(), width(), height() - tabs_->heightForRows());
    const QBrush face = palette().brush(QPalette::Window);
    qDrawWinPanel(&painter, frame, palette(), false, &face);
}

} // namespace qe
