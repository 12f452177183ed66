// Drawing the editor: the menu bar, the rows of tabs, the page in view with its
// frames, and the line that names the keys.
#include "drawing.h"
#include "editor.h"
#include "screen_text.h"

#include <curses.h>

#include <algorithm>

namespace qe::tui {
namespace {

constexpr int kMinColumns = 80;
constexpr int kMinLines = 24;
constexpr int kTextWidth = 48;  // the widest a text field is drawn; its value scrolls inside
constexpr int kPageWidth = 100; // the widest the page's frames are drawn
constexpr const char* kKeys =
    "Tab Field  ^PgDn/Up Page  Alt+letter Page  F1 Help  F10 Menu  ^S Save  ^C Close";

// The columns of the page: the screen's, up to kPageWidth.
int pageWidth() {
    return std::min(COLS, kPageWidth);
}

int leftOf(int depth) {
    return 2 * depth + 2;
}
int rightOf(int depth) {
    return pageWidth() - 2 * depth - 2;
}

int choiceCells(const Control& c) {
    int cells = 1;
    for (const std::string& item : c.items())
        cells = std::max(cells, cellsOf(toScreen(item)));
    return cells;
}

// Where the fields of a page stand: right of its widest caption.
int fieldColumn(const PageLayout& layout) {
    int column = 0;
    for (const Line& line : layout.lines)
        if (line.what == Line::What::Field && line.caption)
            column = std::max(column, leftOf(line.depth) +
                                          static_cast<int>(line.caption->caption().size()) + 1);
    return column;
}

std::string memoLine(const Control& memo, int index) {
    std::size_t start = 0;
    for (int k = 0; k < index; ++k)
        start = memo.caption().find('\n', start) + 1;
    const std::size_t end = memo.caption().find('\n', start);
    return memo.caption().substr(start, end == std::string::npos ? end : end - start);
}

} // namespace

bool Editor::tooSmall() const {
    return COLS < kMinColumns || LINES < kMinLines;
}

void Editor::draw() {
    erase();
    hits_.clear();
    cursorY_ = cursorX_ = -1;
    if (tooSmall()) {
        putText(0, 0,
                "Make the terminal at least " + std::to_string(kMinColumns) + "x" +
                    std::to_string(kMinLines) + " (now " + std::to_string(COLS) + "x" +
                    std::to_string(LINES) + ")",
                COLS, A_BOLD);
        curs_set(0);
        refresh();
        return;
    }
    drawMenuBar();
    const int rule = drawTabs(1);
    mvhline(rule, 0, ACS_HLINE, COLS);
    drawPage(rule + 1, LINES - 1);
    drawKeyLine();
    curs_set(cursorY_ >= 0 ? 1 : 0);
    if (cursorY_ >= 0) move(cursorY_, cursorX_);
    refresh();
}

void Editor::drawMenuBar() {
    const int look = Terminal::attrOf(Look::Bar);
    clearRow(0, 0, COLS, look);
    const char* titles[] = {"&File", "&Help"};
    int x = 1;
    for (int i = 0; i < 2; ++i) {
        const int used = putCaption(0, x + 1, titles[i], look);
        hits_.push_back({Hit::What::Menu, 0, x, x + used + 2, i, nullptr});
        x += used + 3;
    }
    const std::string title = appTitle() + " ";
    putText(0, COLS - static_cast<int>(title.size()), title, COLS, look);
}

// The shown tabs, wrapping into as many rows as the width needs. Returns the
// line under the last row.
int Editor::drawTabs(int top) {
    const Fields& f = form_.fields();
    int y = top, x = 0;
    for (int i = 0; i < f.pageCount(); ++i) {
        const Control& page = f.page(i);
        if (!page.shown()) continue;
        const int width = static_cast<int>(shownCaption(page.caption()).size()) + 2;
        if (x > 0 && x + width > COLS) {
            ++y;
            x = 0;
        }
        const int attr = i == f.activePage() ? A_REVERSE | A_BOLD : A_NORMAL;
        clearRow(y, x, x + width, attr);
        putCaption(y, x + 1, page.caption(), attr);
        hits_.push_back({Hit::What::Tab, y, x, x + width, i, nullptr});
        x += width;
        if (x < COLS) mvaddch(y, x++, ACS_VLINE);
    }
    return y + 1;
}

// The page's lines from top_, scrolled so that the focused field is in view;
// an arrow at the right says there is more above or below.
void Editor::drawPage(int top, int bottom) {
    const Fields& f = form_.fields();
    layout_ = layoutPage(f.page(f.activePage()));
    const int height = bottom - top;
    scrollToFocus(height);
    const int column = fieldColumn(layout_);
    const int count = static_cast<int>(layout_.lines.size());
    for (int i = top_; i < count && i < top_ + height; ++i)
        drawLine(layout_.lines[static_cast<std::size_t>(i)], top + i - top_, column);
    if (top_ > 0) mvaddch(top, pageWidth() - 1, ACS_UARROW);
    if (top_ + height < count) mvaddch(bottom - 1, pageWidth() - 1, ACS_DARROW);
}

void Editor::scrollToFocus(int height) {
    const int count = static_cast<int>(layout_.lines.size());
    int at = -1;
    for (int i = 0; i < count && at < 0; ++i) {
        const auto& fields = layout_.lines[static_cast<std::size_t>(i)].fields;
        if (std::find(fields.begin(), fields.end(), focus_) != fields.end()) at = i;
    }
    if (at >= 0) {
        // Show the caption of the box the field opens, too.
        const int from =
            at > 0 && layout_.lines[static_cast<std::size_t>(at - 1)].what == Line::What::FrameTop
                ? at - 1
                : at;
        top_ = std::min(top_, from);
        if (at >= top_ + height) top_ = at - height + 1;
    }
    top_ = std::max(0, std::min(top_, count - height));
}

void Editor::drawLine(const Line& line, int y, int column) {
    for (int d = 0; d < line.depth; ++d) {
        mvaddch(y, 2 * d, ACS_VLINE);
        mvaddch(y, pageWidth() - 1 - 2 * d, ACS_VLINE);
    }
    const int left = leftOf(line.depth);
    const int right = rightOf(line.depth);
    const int dim = line.caption && !line.caption->enabledInTree() ? A_DIM : A_NORMAL;
    switch (line.what) {
    case Line::What::FrameTop:
    case Line::What::FrameBottom: {
        const bool topEdge = line.what == Line::What::FrameTop;
        const int l = 2 * line.depth, r = pageWidth() - 1 - 2 * line.depth;
        mvhline(y, l + 1, ACS_HLINE, r - l - 1);
        mvaddch(y, l, topEdge ? ACS_ULCORNER : ACS_LLCORNER);
        mvaddch(y, r, topEdge ? ACS_URCORNER : ACS_LRCORNER);
        if (topEdge && line.caption->has(Group))
            putText(y, l + 2, toScreen(line.caption->caption()), r - l - 3, A_BOLD);
        break;
    }
    case Line::What::Heading:
        if (line.caption->kind() == Kind::Memo)
            putText(y, left, toScreen(memoLine(*line.caption, line.memoLine)), right - left, dim);
        else
            putText(y, left, toScreen(line.caption->caption()), right - left, dim);
        break;
    case Line::What::Field:
        if (line.caption) {
            putText(y, left, toScreen(line.caption->caption()), right - left, dim);
            drawField(*line.fields.front(), y, column, right);
        } else {
            drawField(*line.fields.front(), y, left, right);
        }
        break;
    case Line::What::Radios: {
        int x = left;
        for (Control* radio : line.fields)
            x += drawField(*radio, y, x, right) + 2;
        break;
    }
    }
}

// One field at (y, x); returns the columns it takes.
int Editor::drawField(Control& c, int y, int x, int right) {
    const bool focused = &c == focus_;
    const bool enabled = c.enabledInTree();
    const int entry = focused ? A_REVERSE : enabled ? A_UNDERLINE : A_UNDERLINE | A_DIM;
    const int plain = focused ? A_REVERSE : enabled ? A_NORMAL : A_DIM;
    int width = 0;
    switch (c.kind()) {
    case Kind::Text:
    case Kind::Spin: {
        const bool spin = c.kind() == Kind::Spin;
        width = spin ? std::max(c.maxLength(), 4) + 1 : std::min(kTextWidth, right - x - 2);
        LineEdit shown{toScreen(c.text()), 0};
        LineEdit& line = focused ? line_ : shown;
        // A text the form changed, not typing, shows with the cursor at its end.
        if (line.text != shown.text) line.cursor = shown.text.size();
        line.text = shown.text;
        mvaddch(y, x, '[');
        const int cursor = putEntry(y, x + 1, width, line, c.has(Password), entry);
        mvaddch(y, x + width + 1, ']');
        if (focused) cursorY_ = y, cursorX_ = cursor;
        if (spin) {
            mvaddch(y, x + width + 2, ACS_UARROW | static_cast<chtype>(plain));
            mvaddch(y, x + width + 3, ACS_DARROW | static_cast<chtype>(plain));
            hits_.push_back({Hit::What::StepUp, y, x + width + 2, x + width + 3, 0, &c});
            hits_.push_back({Hit::What::StepDown, y, x + width + 3, x + width + 4, 0, &c});
        }
        width += spin ? 4 : 2;
        break;
    }
    case Kind::Check:
    case Kind::Radio: {
        const bool check = c.kind() == Kind::Check;
        std::string mark =
            check ? (c.checked() ? "[x] " : "[ ] ") : (c.checked() ? "(*) " : "( ) ");
        width = putText(y, x, toScreen(mark + c.caption()), right - x, plain);
        break;
    }
    case Kind::Choice: {
        width = std::min(choiceCells(c), right - x - 3);
        const std::size_t index = static_cast<std::size_t>(c.index());
        const std::wstring item = c.index() >= 0 ? toScreen(c.items()[index]) : std::wstring();
        mvaddch(y, x, '[');
        clearRow(y, x + 1, x + 1 + width, entry);
        putText(y, x + 1, item, width, entry);
        mvaddch(y, x + 1 + width, ACS_DARROW | static_cast<chtype>(plain));
        mvaddch(y, x + 2 + width, ']');
        width += 3;
        break;
    }
    case Kind::Button:
        mvaddstr(y, x, "[ ");
        width = putCaption(y, x + 2, c.caption(), plain) + 4;
        mvaddstr(y, x + width - 2, " ]");
        break;
    default:
        break;
    }
    hits_.push_back({Hit::What::Field, y, x, x + width, 0, &c});
    return width;
}

void Editor::drawKeyLine(const char* text) {
    const int look = Terminal::attrOf(Look::Bar);
    clearRow(LINES - 1, 0, COLS, look);
    putText(LINES - 1, 0, text ? text : kKeys, COLS, look);
}

} // namespace qe::tui
