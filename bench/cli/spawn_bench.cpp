// Times command lines from process start to exit: clock_gettime around
// posix_spawnp and the wait (wait4, which is waitpid with the child's resource use),
// so no shell stands between the clock and the program.
// Not a test: bench/cli/quenbyconf_bench.sh runs it.
//
//   qe_spawn_bench RUNS TEMPLATE --tool NAME TARGET COMMAND... [--then COMMAND...]...
//                                [--tool ...]...
//
// Every round writes TEMPLATE's bytes to each tool's TARGET (untimed), then times
// the tool's commands one after the other; the tools take turns at going first.
// A round before the timed ones warms the caches and shows the programs' standard
// error; in the timed rounds both outputs go to /dev/null. Prints each tool's
// median, fastest and slowest time, the median processor time of its commands
// (user and system; less moved by other loads on the machine than the time on the
// clock), the runs in which a command did not exit 0, and each tool's median
// against the first tool's.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Command = std::vector<std::string>;

struct Tool {
    std::string name;
    std::string target;
    std::vector<Command> commands;
    std::vector<double> millis;
    std::vector<double> cpuMillis;
    int failedRuns = 0;
};

double nowMillis() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

double millisOf(const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
}

// Runs one command and waits for it, adding its processor time to cpuMillis; its
// exit status, or -1 when it did not start or did not exit normally.
int runCommand(const Command& command, bool quiet, double& cpuMillis) {
    std::vector<char*> argv;
    for (const std::string& arg : command)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return -1;
    cpuMillis += millisOf(usage.ru_utime) + millisOf(usage.ru_stime);
    if (!WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// One round of a tool: a fresh target, then its commands timed together.
void runRound(Tool& tool, const std::string& templateBytes, bool warmUp) {
    if (!writeFile(tool.target, templateBytes)) {
        std::fprintf(stderr, "spawn_bench: cannot write %s\n", tool.target.c_str());
        std::exit(2);
    }
    bool failed = false;
    double cpu = 0;
    const double start = nowMillis();
    for (const Command& command : tool.commands) {
        const int status = runCommand(command, !warmUp, cpu);
        if (status != 0 && warmUp)
            std::fprintf(stderr, "spawn_bench: %s exited %d\n", command[0].c_str(), status);
        failed = failed || status != 0;
    }
    const double took = nowMillis() - start;
    if (warmUp) return;
    tool.millis.push_back(took);
    tool.cpuMillis.push_back(cpu);
    if (failed) ++tool.failedRuns;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

void printResults(const std::vector<Tool>& tools) {
    std::printf("%-12s %5s %9s %11s %9s %9s %9s %12s\n", "tool", "runs", "commands", "median ms",
                "min ms", "max ms", "cpu ms", "failed runs");
    const double first = median(tools.front().millis);
    for (const Tool& tool : tools) {
        const auto [low, high] = std::minmax_element(tool.millis.begin(), tool.millis.end());
        std::printf("%-12s %5zu %9zu %11.2f %9.2f %9.2f %9.2f %12d\n", tool.name.c_str(),
                    tool.millis.size(), tool.commands.size(), median(tool.millis), *low, *high,
                    median(tool.cpuMillis), tool.failedRuns);
    }
    for (std::size_t i = 1; i < tools.size(); ++i)
        std::printf("%s median / %s median: %.1f\n", tools[i].name.c_str(),
                    tools.front().name.c_str(), median(tools[i].millis) / first);
}

// The tools of the command line: --tool NAME TARGET starts one, --then starts the
// next command of the same tool. Empty on a malformed line.
std::vector<Tool> parseTools(const std::vector<std::string>& args) {
    std::vector<Tool> tools;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--tool" && i + 2 < args.size()) {
            tools.push_back({args[i + 1], args[i + 2], {Command{}}, {}, {}, 0});
            i += 2;
        } else if (tools.empty()) {
            return {};
        } else if (args[i] == "--then") {
            tools.back().commands.emplace_back();
        } else {
            tools.back().commands.back().push_back(args[i]);
        }
    }
    for (const Tool& tool : tools)
        for (const Command& command : tool.commands)
            if (command.empty()) return {};
    return tools;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::vector<Tool> tools;
    const int runs = args.size() > 2 ? std::atoi(args[0].c_str()) : 0;
    if (runs > 0) tools = parseTools({args.begin() + 2, args.end()});
    if (tools.empty()) {
        std::fprintf(stderr, "usage: qe_spawn_bench RUNS TEMPLATE --tool NAME TARGET COMMAND..."
                             " [--then COMMAND...]... [--tool ...]...\n");
        return 2;
    }
    const std::string templateBytes = readFile(args[1]);
    for (Tool& tool : tools)
        runRound(tool, templateBytes, true);
    for (int round = 0; round < runs; ++round)
        for (std::size_t i = 0; i < tools.size(); ++i)
            runRound(tools[(i + static_cast<std::size_t>(round)) % tools.size()], templateBytes,
                     false);
    printResults(tools);
    return 0;
}
