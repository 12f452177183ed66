#include "page_control.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

namespace qe {
namespace {

// Room above the rows for the selected tab, which stands a little taller.
constexpr int kTopMargin = 2;
// Padding beside a tab's caption.
constexpr int kTabPadding = 7;
// Space between the page frame and the page inside it.
constexpr int kFrameMargin = 4;

QString withoutMnemonic(QString caption) {
    return caption.remove(QLatin1Char('&'));
}

} // namespace

QChar mnemonicOf(const QString& caption) {
    const int at = caption.indexOf(QLatin1Char('&'));
    if (at < 0 || at + 1 >= caption.size()) return QChar();
    return caption.at(at + 1).toUpper();
}

TabRows::TabRows(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    // A click selects through the window, which moves the focus here itself once
    // the field that had it agrees to be left.
    setFocusPolicy(Qt::TabFocus);
}

void TabRows::addTab(const QString& caption) {
    tabs_.push_back({caption, true, {}, 0});
    reflow();
}

void TabRows::setTabShown(int index, bool shown) {
    if (tabs_.at(index).shown == shown) return;
    tabs_.at(index).shown = shown;
    reflow();
}

bool TabRows::isTabShown(int index) const {
    return tabs_.at(index).shown;
}

void TabRows::setCurrent(int index) {
    if (current_ == index) return;
    current_ = index;
    reflow();
}

QRect TabRows::tabRect(int index) const {
    const Tab& tab = tabs_.at(index);
    return tab.shown ? tab.rect : QRect();
}

int TabRows::rowHeight() const {
    return fontMetrics().height() + 7;
}

int TabRows::heightForRows() const {
    return kTopMargin + rows_ * rowHeight();
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
    for (Tab& tab : tabs_) {
        if (!tab.shown) continue;
        const int w =
            fontMetrics().horizontalAdvance(withoutMnemonic(tab.caption)) + 2 * kTabPadding;
        if (rows.empty() || (x > 0 && x + w > available)) {
            rows.emplace_back();
            x = 0;
        }
        tab.rect = QRect(x, 0, w, rh);
        rows.back().push_back(&tab);
        x += w;
    }
    const int count = static_cast<int>(rows.size());
    int selectedRow = count - 1;
    for (int r = 0; r < count; ++r)
        for (const Tab* tab : rows[r])
            if (current_ >= 0 && tab == &tabs_[current_]) selectedRow = r;
    for (int r = 0; r < count; ++r) {
        auto& row = rows[r];
        const int n = static_cast<int>(row.size());
        const int extra = count > 1 ? std::max(0, available - (row.back()->rect.right() + 1)) : 0;
        const int y = kTopMargin + ((r - selectedRow - 1 + 2 * count) % count) * rh;
        int shift = 0;
        for (int i = 0; i < n; ++i) {
            const int grow = extra / n + (i < extra % n ? 1 : 0);
            QRect& rect = row[i]->rect;
            rect = QRect(rect.x() + shift, y, rect.width() + grow, rh);
            row[i]->row = r;
            shift += grow;
        }
    }
    const int oldRows = rows_;
    rows_ = count;
    hovered_ = -1;
    update();
    if (oldRows != rows_) emit rowsChanged();
}

int TabRows::tabAt(const QPoint& pos) const {
    for (int i = 0; i < count(); ++i)
        if (tabs_[i].shown && tabs_[i].rect.contains(pos)) return i;
    return -1;
}

void TabRows::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    const auto paintTab = [&](int i) {
        QStyleOptionTab option;
        option.initFrom(this);
        option.shape = QTabBar::RoundedNorth;
        option.rect = tabs_[i].rect;
        option.text = tabs_[i].caption;
        option.position = QStyleOptionTab::Middle;
        option.state &= ~(QStyle::State_MouseOver | QStyle::State_HasFocus);
        if (i == hovered_) option.state |= QStyle::State_MouseOver;
        if (i == current_) {
            option.state |= QStyle::State_Selected;
            if (hasFocus()) option.state |= QStyle::State_HasFocus;
        }
        painter.drawControl(QStyle::CE_TabBarTab, option);
        if (i == current_ && hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = tabs_[i].rect.adjusted(3, 3, -3, -2);
            painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
    };
    for (int i = 0; i < count(); ++i)
        if (tabs_[i].shown && i != current_) paintTab(i);
    if (current_ >= 0 && current_ < count() && tabs_[current_].shown) paintTab(current_);
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

PageControl::PageControl(QWidget* parent)
    : QWidget(parent), tabs_(new TabRows(this)), stack_(new QStackedWidget(this)) {
    connect(tabs_, &TabRows::rowsChanged, this, &PageControl::placeChildren);
}

QWidget* PageControl::addPage(const QString& caption) {
    auto* page = new QWidget;
    stack_->addWidget(page);
    tabs_->addTab(caption);
    return page;
}

void PageControl::setCurrent(int index) {
    stack_->setCurrentIndex(index);
    tabs_->setCurrent(index);
}

int PageControl::current() const {
    return stack_->currentIndex();
}

void PageControl::placeChildren() {
    const int top = tabs_->heightForRows();
    tabs_->setGeometry(0, 0, width(), top);
    stack_->setGeometry(QRect(0, top, width(), height() - top)
                            .adjusted(kFrameMargin, kFrameMargin, -kFrameMargin, -kFrameMargin));
    update();
}

void PageControl::resizeEvent(QResizeEvent*) {
    // The rows need the width before they know their height.
    tabs_->resize(width(), tabs_->height());
    tabs_->reflow();
    placeChildren();
}

void PageControl::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.shape = QTabBar::RoundedNorth;
    frame.rect = QRect(0, tabs_->heightForRows(), width(), height() - tabs_->heightForRows());
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}

} // namespace qe
