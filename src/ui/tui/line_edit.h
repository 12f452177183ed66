// Editing one line of text with the keys a terminal sends: the cursor keys,
// Home, End, Backspace, Delete, Ctrl+U (all before the cursor) and printable
// characters.
#pragma once

#include "terminal.h"

#include <functional>
#include <string>

namespace qe::tui {

struct LineEdit {
    std::wstring text;
    std::size_t cursor = 0;
    int scroll = 0; // the first character in view

    // What the key does to the line; false for a key it does not take. A
    // printable character is inserted only when accepts allows it.
    bool apply(const Key& key, const std::function<bool(wchar_t)>& accepts = {});
    // Brings the cursor into a text shorter than it.
    void clamp();
};

bool isPrintable(const Key& key);

} // namespace qe::tui
