// Small drawing steps on the curses screen, shared by the page, the menus and
// the modal boxes. Everything clips at the given width.
#pragma once

#include "line_edit.h"

#include <string>

namespace qe::tui {

// Draws text from (y, x) in at most cells columns; returns the columns used.
int putText(int y, int x, const std::wstring& text, int cells, int attr);
int putText(int y, int x, const std::string& ascii, int cells, int attr);

// A caption with the letter after its "&" underlined; returns the columns used.
int putCaption(int y, int x, const std::string& caption, int attr);

// A one-line entry of width columns showing the line scrolled so that its cursor
// is in view; password shows "*" for each character. Returns the cursor's column.
int putEntry(int y, int x, int width, LineEdit& line, bool password, int attr);

// A frame from (top, left) to (bottom, right), with a caption set into its top.
void putFrame(int top, int left, int bottom, int right, const std::string& caption, int attr);

// Fills columns left..right-1 of line y with blanks.
void clearRow(int y, int left, int right, int attr);

} // namespace qe::tui
