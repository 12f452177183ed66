// quenbyconf edit: how soon the first full screen stands, against the whole of a
// `quenbyconf get` on the same file, and how long a key and the redraw after it
// take. Prints medians; not a test.
//
//   qe_tui_bench QUENBYCONF FILE [RUNS]
//
// The first figure runs `quenbyconf edit FILE` on a pseudo-terminal of 80x24 and
// stops the clock when "Close" at the end of the key line, the screen's last line,
// has been written; `get` is timed from the fork to its exit, printing into a
// pseudo-terminal too, as a person runs both. The second drives the editor in this
// process on a pseudo-terminal: Tab (to the next field) or Ctrl+PgDn (to the next
// page), each followed by the redraw, the output read away between keys. Beside
// each clock figure, the child's processor time (user and system; the editor's
// until it closed right after its first screen): less moved by other loads on the
// machine.
#include "ui/tui/editor.h"
#include "ui/tui/terminal.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

winsize screenSize() {
    winsize size{};
    size.ws_row = 24;
    size.ws_col = 80;
    return size;
}

struct Run {
    double millis = 0;
    double cpuMillis = 0;
};

double cpuMillisOf(const rusage& use) {
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
    };
    return ms(use.ru_utime) + ms(use.ru_stime);
}

void drain(int fd) {
    char buffer[65536];
    while (::read(fd, buffer, sizeof buffer) > 0) {
    }
}

// From the fork to the exit, printing into a pseudo-terminal of the same size, as
// a person runs it.
Run timeGet(const char* program, const char* file) {
    winsize size = screenSize();
    int master = -1;
    const auto start = Clock::now();
    const pid_t child = forkpty(&master, nullptr, nullptr, &size);
    if (child == 0) {
        execl(program, program, "get", file, static_cast<char*>(nullptr));
        _exit(127);
    }
    char buffer[65536];
    while (::read(master, buffer, sizeof buffer) > 0) {
    }
    int status = 0;
    rusage use{};
    wait4(child, &status, 0, &use);
    const double millis = millisSince(start);
    ::close(master);
    return {millis, cpuMillisOf(use)};
}

// From the fork to the key line on the screen; then Ctrl+C closes the editor.
Run timeFirstScreen(const char* program, const char* file) {
    winsize size = screenSize();
    int master = -1;
    const auto start = Clock::now();
    const pid_t child = forkpty(&master, nullptr, nullptr, &size);
    if (child == 0) {
        setenv("TERM", "xterm-256color", 1);
        setenv("LANG", "C.UTF-8", 1);
        execl(program, program, "edit", file, static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string screen;
    char buffer[65536];
    double millis = -1;
    for (ssize_t n; millis < 0 && (n = ::read(master, buffer, sizeof buffer)) > 0;) {
        screen.append(buffer, static_cast<std::size_t>(n));
        if (screen.find("Close") != std::string::npos) millis = millisSince(start);
    }
    if (::write(master, "\x03", 1) != 1) kill(child, SIGTERM);
    fcntl(master, F_SETFL, O_NONBLOCK);
    int status = 0;
    rusage use{};
    while (wait4(child, &status, WNOHANG, &use) == 0)
        drain(master);
    ::close(master);
    return {millis, cpuMillisOf(use)};
}

// The editor in this process on a pseudo-terminal: key and redraw, many times.
std::vector<double> timeRedraws(const char* file, qe::tui::Key key, int runs) {
    int master = -1, slave = -1;
    winsize size = screenSize();
    if (openpty(&master, &slave, nullptr, nullptr, &size) != 0) std::exit(1);
    fcntl(master, F_SETFL, O_NONBLOCK);
    const int savedIn = dup(STDIN_FILENO), savedOut = dup(STDOUT_FILENO);
    dup2(slave, STDIN_FILENO);
    dup2(slave, STDOUT_FILENO);
    setenv("TERM", "xterm-256color", 1);
    std::vector<double> millis;
    {
        qe::tui::Terminal terminal;
        qe::tui::Editor editor(terminal);
        editor.start(file);
        editor.draw();
        for (int i = 0; i < runs; ++i) {
            drain(master);
            const auto start = Clock::now();
            editor.handle(key);
            editor.draw();
            millis.push_back(millisSince(start));
        }
        drain(master);
    }
    std::fflush(stdout);
    drain(master);
    dup2(savedIn, STDIN_FILENO);
    dup2(savedOut, STDOUT_FILENO);
    ::close(master);
    ::close(slave);
    return millis;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: qe_tui_bench QUENBYCONF FILE [RUNS]\n");
        return 2;
    }
    const char* program = argv[1];
    const char* file = argv[2];
    const int runs = argc > 3 ? std::atoi(argv[3]) : 30;
    std::vector<double> get, first, getCpu, firstCpu;
    timeGet(program, file); // warms the caches
    timeFirstScreen(program, file);
    for (int i = 0; i < runs; ++i) {
        const Run g = timeGet(program, file);
        const Run e = timeFirstScreen(program, file);
        get.push_back(g.millis);
        getCpu.push_back(g.cpuMillis);
        first.push_back(e.millis);
        firstCpu.push_back(e.cpuMillis);
    }
    const double getMedian = median(get), firstMedian = median(first);
    std::printf(
        "quenbyconf get, exec to exit:           %7.2f ms, processor %5.2f ms (medians of %d)\n",
        getMedian, median(getCpu), runs);
    std::printf(
        "quenbyconf edit, exec to first screen:  %7.2f ms, processor %5.2f ms (to its close)"
        ", %.2f x get\n",
        firstMedian, median(firstCpu), firstMedian / getMedian);
    std::fflush(stdout); // before the redraws take standard output over
    const std::vector<double> tab = timeRedraws(file, {qe::tui::Key::Kind::Char, L'\t'}, 1000);
    const std::vector<double> page =
        timeRedraws(file, {qe::tui::Key::Kind::Special, 0, false, qe::tui::kNextPage}, 1000);
    std::printf("Tab and redraw:                         %7.3f ms (median of 1000)\n", median(tab));
    std::printf("Ctrl+PgDn and redraw:                   %7.3f ms (median of 1000)\n",
                median(page));
}
