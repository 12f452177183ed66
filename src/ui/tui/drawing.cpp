#include "drawing.h"

#include "page_layout.h"
#include "screen_text.h"

#include <curses.h>

#include <cwctype>

namespace qe::tui {

int putText(int y, int x, const std::wstring& text, int cells, int attr) {
    int used = 0;
    for (wchar_t c : text) {
        if (!std::iswprint(static_cast<wint_t>(c))) c = L'?';
        const int width = cellsOf(std::wstring(1, c));
        if (used + width > cells) break;
        const wchar_t one[] = {c, 0};
        cchar_t cell{};
        setcchar(&cell, one, static_cast<attr_t>(attr), 0, nullptr);
        mvadd_wch(y, x + used, &cell);
        used += width;
    }
    return used;
}

int putText(int y, int x, const std::string& ascii, int cells, int attr) {
    return putText(y, x, std::wstring(ascii.begin(), ascii.end()), cells, attr);
}

int putCaption(int y, int x, const std::string& caption, int attr) {
    const std::string shown = shownCaption(caption);
    const int used = putText(y, x, shown, static_cast<int>(shown.size()), attr);
    if (const auto amp = caption.find('&'); amp != std::string::npos && amp + 1 < caption.size())
        mvchgat(y, x + static_cast<int>(amp), 1, static_cast<attr_t>(attr) | A_UNDERLINE, 0,
                nullptr);
    return used;
}

int putEntry(int y, int x, int width, LineEdit& line, bool password, int attr) {
    line.clamp();
    const std::wstring shown = password ? std::wstring(line.text.size(), L'*') : line.text;
    const int cursor = static_cast<int>(line.cursor);
    line.scroll = std::min(line.scroll, cursor);
    while (cellsOf(shown.substr(static_cast<std::size_t>(line.scroll),
                                static_cast<std::size_t>(cursor - line.scroll))) >= width)
        ++line.scroll;
    clearRow(y, x, x + width, attr);
    putText(y, x, shown.substr(static_cast<std::size_t>(line.scroll)), width, attr);
    return x + cellsOf(shown.substr(static_cast<std::size_t>(line.scroll),
                                    static_cast<std::size_t>(cursor - line.scroll)));
}

void putFrame(int top, int left, int bottom, int right, const std::string& caption, int attr) {
    attron(attr);
    mvhline(top, left + 1, ACS_HLINE, right - left - 1);
    mvhline(bottom, left + 1, ACS_HLINE, right - left - 1);
    mvvline(top + 1, left, ACS_VLINE, bottom - top - 1);
    mvvline(top + 1, right, ACS_VLINE, bottom - top - 1);
    mvaddch(top, left, ACS_ULCORNER);
    mvaddch(top, right, ACS_URCORNER);
    mvaddch(bottom, left, ACS_LLCORNER);
    mvaddch(bottom, right, ACS_LRCORNER);
    attroff(attr);
    if (!caption.empty()) putText(top, left + 2, caption, right - left - 3, attr);
}

void clearRow(int y, int left, int right, int attr) {
    if (right > left) mvhline(y, left, ' ' | static_cast<chtype>(attr), right - left);
}

} // namespace qe::tui
