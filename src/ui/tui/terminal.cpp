#include "terminal.h"

#include <curses.h>
#include <term.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace qe::tui {
namespace {

SCREEN* screen = nullptr;
bool colours = false;
int nextPageCode = -1;
int previousPageCode = -1;

// The key code curses gives the sequence the terminal description names, or -1.
int codeOf(const char* capability) {
    char* sequence = tigetstr(capability);
    if (!sequence || sequence == reinterpret_cast<char*>(-1)) return -1;
    const int code = key_defined(sequence);
    return code > 0 ? code : -1;
}

// Puts the terminal back, then lets the signal do what it would have done.
void restoreAndRaise(int signal) {
    if (screen) endwin();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void restoreOnSignals() {
    for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        std::signal(s, restoreAndRaise);
}

void startColours() {
    const char* noColour = std::getenv("NO_COLOR");
    colours = has_colors() && !(noColour && *noColour);
    if (!colours) return;
    start_color();
    use_default_colors();
    init_pair(1, COLOR_BLACK, COLOR_CYAN);
    init_pair(2, COLOR_BLACK, COLOR_WHITE);
    init_pair(3, COLOR_WHITE, COLOR_BLUE);
}

} // namespace

Terminal::Terminal() {
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO))
        throw NoTerminal("standard input and output must be a terminal");
    // The character set is all curses needs; the other categories would cost
    // more start-up than the whole load of a file.
    std::setlocale(LC_CTYPE, "");
    const char* type = std::getenv("TERM");
    screen = newterm(nullptr, stdout, stdin);
    if (!screen)
        throw NoTerminal(std::string("unknown terminal type ") + (type ? type : "(TERM not set)"));
    restoreOnSignals();
    // Ctrl+C, Ctrl+S and Ctrl+O come as keys.
    raw();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    set_escdelay(25);
    mousemask(BUTTON1_PRESSED, nullptr);
    mouseinterval(0);
    startColours();
    nextPageCode = codeOf("kNXT5");
    previousPageCode = codeOf("kPRV5");
}

Terminal::~Terminal() {
    endwin();
    delscreen(screen);
    screen = nullptr;
}

Key Terminal::read() {
    for (;;) {
        wint_t c = 0;
        errno = 0;
        const int got = get_wch(&c);
        // A signal (a resize) interrupts the wait; anything else is a terminal that
        // has gone away, which closes the editor as Ctrl+C does.
        if (got == ERR && errno == EINTR) continue;
        if (got == ERR) return {Key::Kind::Char, 3};
        if (got == OK && c == 27) {
            // Alt sends Esc before the key; an Esc alone is followed by nothing.
            timeout(0);
            wint_t next = 0;
            const int more = get_wch(&next);
            timeout(-1);
            if (more == OK && next != 27)
                return {Key::Kind::Char, static_cast<wchar_t>(next), true};
            if (more == KEY_CODE_YES) return {Key::Kind::Special, 0, false, static_cast<int>(next)};
            return {Key::Kind::Char, 27};
        }
        if (got == OK) return {Key::Kind::Char, static_cast<wchar_t>(c)};
        const int code = static_cast<int>(c);
        if (code == KEY_RESIZE) return {Key::Kind::Resize};
        if (code == KEY_MOUSE) {
            MEVENT event{};
            if (getmouse(&event) != OK || !(event.bstate & BUTTON1_PRESSED)) continue;
            return {Key::Kind::Click, 0, false, 0, event.x, event.y};
        }
        if (code == nextPageCode) return {Key::Kind::Special, 0, false, kNextPage};
        if (code == previousPageCode) return {Key::Kind::Special, 0, false, kPreviousPage};
        return {Key::Kind::Special, 0, false, code};
    }
}

bool isEnter(const Key& k) {
    return isChar(k, L'\r') || isChar(k, L'\n') || isSpecial(k, KEY_ENTER);
}

int Terminal::attrOf(Look look) {
    switch (look) {
    case Look::Bar:
        return colours ? static_cast<int>(COLOR_PAIR(1)) : A_REVERSE;
    case Look::Dialog:
        return colours ? static_cast<int>(COLOR_PAIR(2)) : A_NORMAL;
    case Look::DialogTitle:
        return colours ? static_cast<int>(COLOR_PAIR(3) | A_BOLD) : A_BOLD | A_REVERSE;
    }
    return A_NORMAL;
}

} // namespace qe::tui
