// The page control: rows of tabs that wrap as the width needs, over a stack of
// pages. Tabs can be hidden one by one; the rows reflow around them. Selecting a
// page is the window's business (it runs the leave rule first), so a click only
// reports the tab.
#pragma once

#include <QWidget>

#include <vector>

class QStackedWidget;

namespace qe {

class TabRows : public QWidget {
    Q_OBJECT

public:
    explicit TabRows(QWidget* parent = nullptr);

    void addTab(const QString& caption);
    void setTabShown(int index, bool shown);
    bool isTabShown(int index) const;
    void setCurrent(int index);
    int current() const { return current_; }
    int count() const { return static_cast<int>(tabs_.size()); }
    QString caption(int index) const { return tabs_.at(index).caption; }
    // Where the tab is drawn; empty for a hidden tab.
    QRect tabRect(int index) const;
    int rowCount() const { return rows_; }
    // The height the rows need at the current width.
    int heightForRows() const;
    // Lays the shown tabs out again at the current width.
    void reflow();

signals:
    void tabClicked(int index);
    // Left/Right on the focused rows: the neighbouring shown tab.
    void stepRequested(int delta);
    void rowsChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Tab {
        QString caption;
        bool shown = true;
        QRect rect;
        int row = 0;
    };
    int tabAt(const QPoint& pos) const;
    int rowHeight() const;

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
    int current() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeChildren();

    TabRows* tabs_;
    QStackedWidget* stack_;
};

// The underlined letter of a caption ("Pro&xy Server" gives 'X'), upper case, or
// a null character when the caption has none.
QChar mnemonicOf(const QString& caption);

} // namespace qe
