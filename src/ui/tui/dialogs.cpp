#include "dialogs.h"

#include "drawing.h"
#include "screen_text.h"

#include <curses.h>

#include <algorithm>

namespace qe::tui {
namespace {

std::vector<std::wstring> linesOf(const std::wstring& text) {
    std::vector<std::wstring> lines(1);
    for (const wchar_t c : text) {
        if (c == L'\n')
            lines.emplace_back();
        else if (c == L'\t')
            lines.back().append(8 - lines.back().size() % 8, L' ');
        else if (c != L'\r')
            lines.back() += c;
    }
    return lines;
}

// The lines of text, each longer than cells broken at its last blank that fits
// (or at cells, without one).
std::vector<std::wstring> wrapped(const std::wstring& text, int cells) {
    std::vector<std::wstring> lines;
    for (std::wstring line : linesOf(text)) {
        while (cellsOf(line) > cells) {
            std::size_t cut = 0;
            while (cut < line.size() && cellsOf(line.substr(0, cut + 1)) <= cells)
                ++cut;
            const std::size_t blank = line.rfind(L' ', cut);
            const std::size_t at = blank != std::wstring::npos && blank > 0 ? blank : cut;
            lines.push_back(line.substr(0, at));
            line.erase(0, at + (at == blank ? 1 : 0));
        }
        lines.push_back(line);
    }
    return lines;
}

// Where a box of the given inside size stands: centred, within the screen.
struct Box {
    int top, left, height, width;
};

Box centredBox(int innerWidth, int innerHeight) {
    const int width = std::min(innerWidth + 4, COLS);
    const int height = std::min(innerHeight + 2, LINES);
    return {(LINES - height) / 2, (COLS - width) / 2, height, width};
}

void drawBox(const Box& b, const std::string& title) {
    const int look = Terminal::attrOf(Look::Dialog);
    for (int y = b.top; y < b.top + b.height; ++y)
        clearRow(y, b.left, b.left + b.width, look);
    putFrame(b.top, b.left, b.top + b.height - 1, b.left + b.width - 1, "", look);
    const std::string caption = " " + title + " ";
    const int x = b.left + (b.width - static_cast<int>(caption.size())) / 2;
    putText(b.top, std::max(x, b.left + 1), caption, b.width - 2,
            Terminal::attrOf(Look::DialogTitle));
}

// The buttons centred on line y; the focused one in reverse video, a disabled one
// dim. Fills where, the left column of each.
void drawButtons(const Box& b, int y, const std::vector<std::string>& buttons, int focused,
                 const std::vector<bool>& enabled, std::vector<int>& where) {
    int total = 0;
    for (const std::string& name : buttons)
        total += static_cast<int>(name.size()) + 5;
    int x = b.left + (b.width - total + 1) / 2;
    where.clear();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        int attr = Terminal::attrOf(Look::Dialog);
        if (static_cast<int>(i) == focused) attr = A_REVERSE | A_BOLD;
        if (!enabled[i]) attr |= A_DIM;
        where.push_back(x);
        x += putText(y, x, "[ " + buttons[i] + " ]", b.width, attr) + 1;
    }
}

int buttonAt(const Key& key, int y, const std::vector<std::string>& buttons,
             const std::vector<int>& where) {
    if (key.kind != Key::Kind::Click || key.y != y) return -1;
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (key.x >= where[i] && key.x < where[i] + static_cast<int>(buttons[i].size()) + 4)
            return static_cast<int>(i);
    return -1;
}

bool isEscape(const Key& k) {
    return k.kind == Key::Kind::Char && k.ch == 27;
}
bool isTab(const Key& k) {
    return isChar(k, L'\t');
}
bool isBackTab(const Key& k) {
    return isSpecial(k, KEY_BTAB);
}

} // namespace

int askButtons(Modal& modal, const std::string& title, const std::wstring& text,
               const std::vector<std::string>& buttons, int defaultButton, int escapeButton) {
    const std::vector<std::wstring> lines = wrapped(text, std::max(COLS - 4, 20));
    int width = static_cast<int>(title.size()) + 4;
    for (const std::wstring& line : lines)
        width = std::max(width, cellsOf(line));
    int buttonsWidth = 0;
    for (const std::string& name : buttons)
        buttonsWidth += static_cast<int>(name.size()) + 5;
    width = std::max(width, buttonsWidth);
    const int count = static_cast<int>(buttons.size());
    const std::vector<bool> enabled(buttons.size(), true);
    std::vector<int> where;
    int focused = defaultButton;
    curs_set(0);
    for (;;) {
        const Box b = centredBox(width, static_cast<int>(lines.size()) + 2);
        drawBox(b, title);
        for (std::size_t i = 0; i < lines.size(); ++i)
            putText(b.top + 1 + static_cast<int>(i), b.left + 2, lines[i], b.width - 4,
                    Terminal::attrOf(Look::Dialog));
        const int buttonRow = b.top + b.height - 2;
        drawButtons(b, buttonRow, buttons, focused, enabled, where);
        refresh();
        const Key key = modal.terminal.read();
        if (key.kind == Key::Kind::Resize) modal.drawBehind();
        if (isEnter(key) || (key.kind == Key::Kind::Char && key.ch == L' ')) return focused;
        if (isEscape(key) && escapeButton >= 0) return escapeButton;
        if (isTab(key) || (key.kind == Key::Kind::Special && key.code == KEY_RIGHT))
            focused = (focused + 1) % count;
        if (isBackTab(key) || (key.kind == Key::Kind::Special && key.code == KEY_LEFT))
            focused = (focused + count - 1) % count;
        if (const int clicked = buttonAt(key, buttonRow, buttons, where); clicked >= 0)
            return clicked;
    }
}

std::optional<std::wstring> askLine(Modal& modal, const std::string& title,
                                    const std::string& prompt, const std::wstring& initial,
                                    const std::function<bool(const std::wstring&)>& okAllowed,
                                    bool escapeCancels) {
    const std::vector<std::string> buttons = {"OK", "Cancel"};
    LineEdit line{initial, initial.size()};
    std::vector<int> where;
    int focused = 0; // 0 the line, 1 OK, 2 Cancel
    for (;;) {
        const bool ok = okAllowed(line.text);
        const Box b = centredBox(std::max(60, static_cast<int>(prompt.size())), 4);
        drawBox(b, title);
        const int look = Terminal::attrOf(Look::Dialog);
        putText(b.top + 1, b.left + 2, prompt, b.width - 4, look);
        const int buttonRow = b.top + b.height - 2;
        drawButtons(b, buttonRow, buttons, focused - 1, {ok, true}, where);
        const int cursorX = putEntry(b.top + 2, b.left + 2, b.width - 4, line, false,
                                     focused == 0 ? A_REVERSE : A_UNDERLINE);
        curs_set(focused == 0 ? 1 : 0);
        move(b.top + 2, cursorX);
        refresh();
        const Key key = modal.terminal.read();
        if (key.kind == Key::Kind::Resize) modal.drawBehind();
        const int clicked = buttonAt(key, buttonRow, buttons, where);
        const bool pressed =
            isEnter(key) || (focused > 0 && key.kind == Key::Kind::Char && key.ch == L' ');
        if (clicked == 1 || (focused == 2 && pressed) || (isEscape(key) && escapeCancels)) {
            curs_set(0);
            return std::nullopt;
        }
        if ((clicked == 0 || (focused < 2 && pressed)) && ok) {
            curs_set(0);
            return line.text;
        }
        if (isTab(key))
            focused = (focused + 1) % 3;
        else if (isBackTab(key))
            focused = (focused + 2) % 3;
        else if (focused == 0)
            line.apply(key);
    }
}

} // namespace qe::tui
