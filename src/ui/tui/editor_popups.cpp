// The File and Help menus and the open list of a choice field.
#include "drawing.h"
#include "editor.h"
#include "screen_text.h"

#include <curses.h>

#include <algorithm>
#include <cstring>
#include <cwctype>

namespace qe::tui {
namespace {

struct MenuEntry {
    const char* caption; // nullptr: a separator
    const char* shortcut;
};

const std::vector<MenuEntry> kMenus[] = {
    {{"&Open", "Ctrl+O"}, {"&Save", "Ctrl+S"}, {nullptr, nullptr}, {"&Close", ""}},
    {{"&About", ""}},
};
constexpr int kMenuCount = 2;

int stepEntry(int menu, int entry, int delta) {
    const auto& entries = kMenus[menu];
    const int count = static_cast<int>(entries.size());
    do
        entry = (entry + delta + count) % count;
    while (!entries[static_cast<std::size_t>(entry)].caption);
    return entry;
}

int entryOfLetter(int menu, wchar_t letter) {
    const auto& entries = kMenus[menu];
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const char* caption = entries[i].caption;
        const char* amp = caption ? std::strchr(caption, '&') : nullptr;
        if (amp && std::towupper(static_cast<wint_t>(amp[1])) ==
                       std::towupper(static_cast<wint_t>(letter)))
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace

// Menu titles stand on the top line, their left columns recorded while drawing.
void Editor::openMenu(int menu) {
    int entry = 0;
    for (;;) {
        draw();
        const auto title = std::find_if(hits_.begin(), hits_.end(), [&](const Hit& h) {
            return h.what == Hit::What::Menu && h.index == menu;
        });
        const int left = title == hits_.end() ? 0 : title->left;
        const auto& entries = kMenus[menu];
        const int width = 24;
        const int height = static_cast<int>(entries.size()) + 2;
        const int look = Terminal::attrOf(Look::Dialog);
        for (int y = 1; y <= height; ++y)
            clearRow(y, left, left + width, look);
        putFrame(1, left, height, left + width - 1, "", look);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const int y = 2 + static_cast<int>(i);
            if (!entries[i].caption) {
                attron(look);
                mvhline(y, left + 1, ACS_HLINE, width - 2);
                attroff(look);
                continue;
            }
            const int attr = static_cast<int>(i) == entry ? A_REVERSE | A_BOLD : look;
            clearRow(y, left + 1, left + width - 1, attr);
            putCaption(y, left + 2, entries[i].caption, attr);
            const std::string keys = entries[i].shortcut;
            putText(y, left + width - 2 - static_cast<int>(keys.size()), keys, width, attr);
        }
        curs_set(0);
        refresh();
        const Key key = terminal_.read();
        if (key.kind == Key::Kind::Resize) continue;
        if ((key.kind == Key::Kind::Char && key.ch == 27) ||
            (key.kind == Key::Kind::Special && key.code == KEY_F(10)))
            return;
        if (key.kind == Key::Kind::Special && (key.code == KEY_LEFT || key.code == KEY_RIGHT)) {
            menu = (menu + 1) % kMenuCount;
            entry = 0;
        } else if (key.kind == Key::Kind::Special && (key.code == KEY_UP || key.code == KEY_DOWN)) {
            entry = stepEntry(menu, entry, key.code == KEY_UP ? -1 : 1);
        } else if (isEnter(key)) {
            return runMenuEntry(menu, entry);
        } else if (key.kind == Key::Kind::Char && key.alt &&
                   (key.ch == L'f' || key.ch == L'h' || key.ch == L'F' || key.ch == L'H')) {
            menu = std::towlower(static_cast<wint_t>(key.ch)) == L'f' ? 0 : 1;
            entry = 0;
        } else if (key.kind == Key::Kind::Char) {
            if (const int chosen = entryOfLetter(menu, key.ch); chosen >= 0)
                return runMenuEntry(menu, chosen);
        } else if (key.kind == Key::Kind::Click) {
            const int row = key.y - 2;
            if (key.x > left && key.x < left + width - 1 && row >= 0 &&
                row < static_cast<int>(entries.size()) &&
                entries[static_cast<std::size_t>(row)].caption)
                return runMenuEntry(menu, row);
            return;
        }
    }
}

// Menu commands do not take the focus: no leave rule runs before them.
void Editor::runMenuEntry(int menu, int entry) {
    if (menu == 1) return showAbout();
    switch (entry) {
    case 0:
        return run([this] { form_.open(); });
    case 1:
        return run([this] { form_.save(); });
    default:
        closing_ = true;
        return;
    }
}

// The list opens under the field (above it when there is no room below); Enter
// or a click picks the item under the bar, Esc closes the list unchanged.
void Editor::openChoiceList(Control& c) {
    const std::vector<std::string>& items = c.items();
    if (items.empty()) return;
    int width = 8;
    for (const std::string& item : items)
        width = std::max(width, cellsOf(toScreen(item)) + 4);
    width = std::min(width, COLS);
    const int height = static_cast<int>(items.size()) + 2;
    int bar = std::max(c.index(), 0);
    for (;;) {
        draw();
        const auto field = std::find_if(hits_.begin(), hits_.end(), [&](const Hit& h) {
            return h.what == Hit::What::Field && h.control == &c;
        });
        if (field == hits_.end()) return;
        int top = field->y + 1;
        if (top + height > LINES - 1) top = std::max(0, field->y - height);
        const int left = std::max(0, std::min(field->left, COLS - width));
        const int look = Terminal::attrOf(Look::Dialog);
        for (int y = top; y < top + height; ++y)
            clearRow(y, left, left + width, look);
        putFrame(top, left, top + height - 1, left + width - 1, "", look);
        for (std::size_t i = 0; i < items.size(); ++i) {
            const int y = top + 1 + static_cast<int>(i);
            const int attr = static_cast<int>(i) == bar ? A_REVERSE | A_BOLD : look;
            clearRow(y, left + 1, left + width - 1, attr);
            putText(y, left + 2, toScreen(items[i]), width - 4, attr);
        }
        curs_set(0);
        refresh();
        const Key key = terminal_.read();
        const int count = static_cast<int>(items.size());
        if (key.kind == Key::Kind::Char && key.ch == 27) return;
        if (key.kind == Key::Kind::Special) {
            if (key.code == KEY_UP) bar = std::max(bar - 1, 0);
            if (key.code == KEY_DOWN) bar = std::min(bar + 1, count - 1);
            if (key.code == KEY_HOME || key.code == KEY_PPAGE) bar = 0;
            if (key.code == KEY_END || key.code == KEY_NPAGE) bar = count - 1;
        }
        if (key.kind == Key::Kind::Click) {
            const int row = key.y - top - 1;
            if (key.x <= left || key.x >= left + width - 1 || row < 0 || row >= count) return;
            bar = row;
        }
        if (isEnter(key) || key.kind == Key::Kind::Click) {
            run([&] { form_.pick(c, bar); });
            return;
        }
    }
}

} // namespace qe::tui
