// The terminal the editor runs in: curses started on standard input and output,
// and put back as it was on every way out, a crash signal included.
#pragma once

#include <stdexcept>

namespace qe::tui {

// Why the editor cannot start here: not a terminal, or a terminal type curses
// does not know.
class NoTerminal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One key, click or resize as the terminal reports it.
struct Key {
    enum class Kind { Char, Special, Click, Resize };
    Kind kind = Kind::Char;
    wchar_t ch = 0;   // Char: the character, control characters included
    bool alt = false; // Char: sent with Alt (Esc first)
    int code = 0;     // Special: a curses KEY_ code, or kNextPage, kPreviousPage
    int x = 0, y = 0; // Click: where the first button was pressed
};

// A character typed without Alt, and a key curses names (a KEY_ code).
inline bool isChar(const Key& k, wchar_t c) {
    return k.kind == Key::Kind::Char && !k.alt && k.ch == c;
}
inline bool isSpecial(const Key& k, int code) {
    return k.kind == Key::Kind::Special && k.code == code;
}
// Return, or the keypad's Enter.
bool isEnter(const Key& k);

// Ctrl+PgDn and Ctrl+PgUp, where the terminal's description names them.
constexpr int kNextPage = 0x7000;
constexpr int kPreviousPage = 0x7001;

// Attributes of the parts of the screen: colour where the terminal has it and
// NO_COLOR is not set, and reverse video and bold that read in monochrome too.
enum class Look { Bar, Dialog, DialogTitle };

class Terminal {
public:
    // Throws NoTerminal when standard input or output is not a terminal or TERM
    // names no known terminal.
    Terminal();
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    Key read();
    static int attrOf(Look look);
};

} // namespace qe::tui
