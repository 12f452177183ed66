#include "line_edit.h"

#include <curses.h>

#include <cwctype>

namespace qe::tui {

bool isPrintable(const Key& key) {
    return key.kind == Key::Kind::Char && !key.alt && std::iswprint(static_cast<wint_t>(key.ch));
}

void LineEdit::clamp() {
    cursor = std::min(cursor, text.size());
}

bool LineEdit::apply(const Key& key, const std::function<bool(wchar_t)>& accepts) {
    clamp();
    if (isPrintable(key)) {
        if (!accepts || accepts(key.ch)) text.insert(cursor++, 1, key.ch);
        return true;
    }
    const bool backspace = (key.kind == Key::Kind::Char && (key.ch == 127 || key.ch == 8)) ||
                           (key.kind == Key::Kind::Special && key.code == KEY_BACKSPACE);
    if (backspace) {
        if (cursor > 0) text.erase(--cursor, 1);
        return true;
    }
    if (key.kind == Key::Kind::Char && !key.alt && key.ch == 21) { // Ctrl+U, as in a shell
        text.erase(0, cursor);
        cursor = 0;
        return true;
    }
    if (key.kind != Key::Kind::Special) return false;
    switch (key.code) {
    case KEY_LEFT:
        if (cursor > 0) --cursor;
        return true;
    case KEY_RIGHT:
        if (cursor < text.size()) ++cursor;
        return true;
    case KEY_HOME:
        cursor = 0;
        return true;
    case KEY_END:
        cursor = text.size();
        return true;
    case KEY_DC:
        if (cursor < text.size()) text.erase(cursor, 1);
        return true;
    default:
        return false;
    }
}

} // namespace qe::tui
