// The page control: rows of tabs that wrap as the width needs, over a stack of
// pages. Tabs can be hidden one by one; the rows reflow around them. Selecting a
// page is the window's business (it runs the leave rule first), so a click only
// reports the tab.
#pragma once

#include <QWidget>

#include <vector>

class QStackedWidget;
class QStyleOptionTab;

namespace qe {

class TabRows : public QWidget {
    Q_OBJECT

public:
    explicit TabRows(QWidget* parent = nullptr);

    void addTab(const QString& caption);
    void setTabShown(int index, bool shown);
    bool isTabShown(int index) const;
    // The tab drawn selected, next to the page; -1 before the first is chosen.
    void setCurrent(int index);
    int current() const { return current_; }
    int count() const { return static_cast<int>(tabs_.size()); }
    // The caption as given, with its "&" before the underlined letter.
    const QString& caption(int index) const { return tabs_.at(index).caption; }
    // Where the tab is drawn; empty for a hidden tab.
    QRect tabRect(int index) const;
    // The tab under the mouse, or -1.
    int hovered() const { return hovered_; }
    int rowCount() const { return rows_; }
    // The height the rows need at the current width.
    int heightForRows() const;
    // The width a tab's caption needs, as the style draws it.
    int tabWidth(int index) const;
    // Forgets the measured widths after the font or the style changed.
    void remeasure();
    // Lays the shown tabs out again at the current width, font and style.
    void reflow();
    // How far the selected tab reaches below the rows, over the page frame.
    static constexpr int kOverlap = 2;

signals:
    void tabClicked(int index);
    // Left/Right on the focused rows: the neighbouring shown tab.
    void stepRequested(int delta);
    // The rows' height changed: the page below moves.
    void heightChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Tab {
        QString caption;
        bool shown = true;
        QRect rect;
        int width = 0; // measured at the current font and style; 0 when not yet
    };
    int tabAt(const QPoint& pos) const;
    int rowHeight() const;
    QStyleOptionTab tabOption(int index) const;
    void paintTab(QPainter& painter, int index) const;

    std::vector<Tab> tabs_;
    int current_ = -1;
    int hovered_ = -1;
    int rows_ = 0;
};

class PageControl : public QWidget {
    Q_OBJECT

public:
    explicit PageControl(QWidget* parent = nullptr);

    TabRows* tabs() const { return tabs_; }
    QStackedWidget* stack() const { return stack_; }
    // Adds a page with its tab caption; the page widget is created here.
    QWidget* addPage(const QString& caption);
    void setCurrent(int index);
    // The page drawn selected and in view; -1 before the first is chosen.
    int current() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeChildren();

    TabRows* tabs_;
    QStackedWidget* stack_;
};

// The caption without its "&": what is drawn and what a screen reader reads.
QString withoutMnemonic(QString caption);

} // namespace qe
