// How a value's bytes stand on the screen, and what an edited text gives back.
// The one place where the terminal view turns bytes into characters.
#pragma once

#include <string>

namespace qe::tui {

// Valid UTF-8 as its characters; any other value as Latin-1, whole.
std::wstring toScreen(const std::string& bytes);

// The text as bytes in the form shown was shown in: Latin-1 when shown was not
// UTF-8 and every character fits, UTF-8 otherwise.
std::string fromScreen(const std::wstring& text, const std::string& shown);

// The columns a text takes on the screen.
int cellsOf(const std::wstring& text);

} // namespace qe::tui
