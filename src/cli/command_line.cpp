#include "command_line.h"

#include "answer.h"
#include "json.h"
#include "request.h"
#include "schema.h"
#include "session.h"
#include "unified_diff.h"

#include "config/error.h"
#include "config/file_io.h"
#include "config/save_failure.h"
#include "config/save_target.h"
#include "fields/version.h"

#include <cerrno>
#include <chrono>
#include <istream>
#include <iterator>
#include <optional>
#include <ostream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qe::cli {
namespace {

constexpr const char* kUsageText =
    "usage: quenbyconf [OPTION...] get FILE [KEY...]\n"
    "       quenbyconf [OPTION...] set FILE KEY=VALUE...\n"
    "       quenbyconf [OPTION...] unset FILE KEY...\n"
    "       quenbyconf [OPTION...] diff FILE KEY=VALUE...\n"
    "       quenbyconf [OPTION...] check FILE\n"
    "       quenbyconf [OPTION...] apply FILE < REQUEST.json\n"
    "       quenbyconf schema\n"
    "       quenbyconf edit [FILE]\n"
    "Reads and sets the client's configuration file by the editor's rules;\n"
    "edit opens the editor itself in the terminal.\n"
    "Keys are written section.key; networking.firewall-auth as user:password.\n"
    "Options (anywhere on the line; -- ends them):\n"
    "  --json          answer with one JSON object on standard output\n"
    "  --strict        refuse the call when the save changes a key not given\n"
    "  --dry-run       set, unset: show the diff, write nothing\n"
    "  --create        make FILE when it does not exist (mode 0600)\n"
    "  --show-secrets  show the proxy password instead of ********\n"
    "  --follow        follow a symbolic link at FILE whoever owns it\n"
    "  --backup        copy FILE beside it before a write that changes it\n"
    "  --wait SECONDS  wait this long for another writer's lock (default 30)\n"
    "  --help, --version\n"
    "Exit status: 0 done, 1 refused or findings, 2 wrong command line,\n"
    "3 FILE missing or unreadable, 4 FILE not writable, 5 FILE stops the load,\n"
    "6 FILE kept locked by another writer for longer than --wait.\n";

struct Options {
    bool json = false;
    bool dryRun = false;
    bool create = false;
    bool follow = false;
    bool backup = false;
    std::chrono::seconds wait{30};
    bool help = false;
    bool version = false;
    Rules rules;
    std::vector<std::string> words; // the verb and its operands
};

// Options anywhere; "--" ends them. nullopt, with the fault in fault, when wrong.
std::optional<Options> parse(const std::vector<std::string>& args, std::string& fault) {
    Options o;
    bool optionsEnded = false;
    for (auto next = args.begin(); next != args.end();) {
        const std::string& a = *next++;
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            o.words.push_back(a);
            continue;
        }
        if (a == "--wait" || a.rfind("--wait=", 0) == 0) {
            const bool joined = a != "--wait";
            if (!joined && next == args.end()) {
                fault = "--wait needs a number of seconds";
                return std::nullopt;
            }
            const std::string seconds = joined ? a.substr(7) : *next++;
            const std::optional<std::chrono::seconds> wait = waitOf(seconds);
            if (!wait) {
                fault = "--wait takes a whole number of seconds, not " + seconds;
                return std::nullopt;
            }
            o.wait = *wait;
        } else if (a == "--")
            optionsEnded = true;
        else if (a == "--json")
            o.json = true;
        else if (a == "--strict")
            o.rules.strict = true;
        else if (a == "--dry-run")
            o.dryRun = true;
        else if (a == "--create")
            o.create = true;
        else if (a == "--show-secrets")
            o.rules.showSecrets = true;
        else if (a == "--follow")
            o.follow = true;
        else if (a == "--backup")
            o.backup = true;
        else if (a == "--help" || a == "-h")
            o.help = true;
        else if (a == "--version")
            o.version = true;
        else {
            fault = "unknown option " + a;
            return std::nullopt;
        }
    }
    return o;
}

// The exit status of a file that gave no text or whose load stopped.
int statusOf(ReadFault fault) {
    return fault == ReadFault::LoadStops ? kLoadStopped : kUnreadable;
}

// "user 1000 (alice)", or the number alone for a user the system does not name.
std::string userName(uid_t uid) {
    std::string name = "user " + std::to_string(uid);
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found)
        name += std::string(" (") + found->pw_name + ")";
    return name;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// One command's streams and options.
class Command {
public:
    Command(const Options& o, std::istream& in, std::ostream& out, std::ostream& err)
        : o_(o), in_(in), out_(out), err_(err) {}

    int run();

private:
    int usage(const std::string& fault) {
        if (!fault.empty()) err_ << "quenbyconf: " << fault << "\n";
        err_ << kUsageText;
        return kUsage;
    }
    int get();
    int check();
    int change(const std::vector<Setting>& settings, bool write);
    int apply();
    // Reads FILE for a verb that writes nothing; nullopt after reporting why.
    std::optional<std::string> readOnly(int& status);
    int fail(int status, const std::string& message, const std::string& detail = {});
    int answer(const Outcome& outcome, bool changed, int status,
               const std::string& backupFile = {});

    const Options& o_;
    std::istream& in_;
    std::ostream& out_;
    std::ostream& err_;
    std::string path_;
    bool diffAsked_ = false;
};

int Command::fail(int status, const std::string& message, const std::string& detail) {
    err_ << "quenbyconf: " << message << "\n";
    if (!detail.empty()) err_ << detail << "\n";
    if (o_.json) {
        Outcome none;
        none.errors.push_back({"", "", detail.empty() ? message : message + "\n" + detail});
        out_ << jsonAnswer(none, false, o_.rules.showSecrets);
    }
    return status;
}

std::optional<std::string> Command::readOnly(int& status) {
    FileRead read = readFile(path_);
    if (read.fault == ReadFault::None) return std::move(read.bytes);
    if (read.fault == ReadFault::Missing && o_.create) return std::string();
    status = fail(statusOf(read.fault), path_ + ": " + read.reason);
    return std::nullopt;
}

// Refusals and warnings on standard error, then the answer; the path of a backup
// made on a line of its own.
int Command::answer(const Outcome& outcome, bool changed, int status,
                    const std::string& backupFile) {
    for (const Entry& w : outcome.warnings)
        err_ << "quenbyconf: warning: " << entryLine(w) << "\n";
    for (const Entry& e : outcome.errors)
        err_ << entryLine(e) << "\n";
    if (o_.json) {
        out_ << jsonAnswer(outcome, changed, o_.rules.showSecrets, backupFile);
        return status;
    }
    if (diffAsked_) {
        const bool show = o_.rules.showSecrets;
        out_ << unifiedDiff(show ? outcome.before : maskSecrets(outcome.before),
                            show ? outcome.after : maskSecrets(outcome.after, outcome.before),
                            path_, path_);
    }
    if (!backupFile.empty()) out_ << backupFile << "\n";
    return status;
}

int Command::get() {
    int status = kDone;
    const std::optional<std::string> bytes = readOnly(status);
    if (!bytes) return status;
    Outcome outcome = values(*bytes, o_.rules);
    if (outcome.loadStopped) return answer(outcome, false, statusOf(ReadFault::LoadStops));
    const std::vector<std::string> names(o_.words.begin() + 2, o_.words.end());
    if (!names.empty()) outcome.values = pickValues(outcome.values, names, outcome.errors);
    if (!outcome.errors.empty()) return answer(outcome, false, kRefused);
    if (!o_.json)
        for (const auto& [name, value] : outcome.values)
            out_ << name << "=" << value << "\n";
    return answer(outcome, false, kDone);
}

int Command::check() {
    if (o_.words.size() != 2) return usage("check takes one FILE");
    int status = kDone;
    const std::optional<std::string> bytes = readOnly(status);
    if (!bytes) return status;
    const Outcome outcome = cli::check(*bytes, o_.rules);
    if (outcome.loadStopped) return answer(outcome, false, statusOf(ReadFault::LoadStops));
    if (!o_.json)
        for (const Entry& e : outcome.errors)
            out_ << entryLine(e) << "\n";
    Outcome quiet = outcome; // the findings are the answer, not errors of the command
    if (!o_.json) quiet.errors.clear();
    return answer(quiet, false, outcome.errors.empty() ? kDone : kRefused);
}

// set, unset, diff and apply: one save of every setting, or nothing.
int Command::change(const std::vector<Setting>& settings, bool write) {
    if (!write) {
        int status = kDone;
        const std::optional<std::string> bytes = readOnly(status);
        if (!bytes) return status;
        const Outcome outcome = plan(*bytes, settings, o_.rules);
        return answer(outcome, outcome.after != outcome.before, statusOf(outcome));
    }
    const bool existed = exists(path_);
    if (!existed && !o_.create)
        return fail(kUnreadable, path_ + ": No such file or directory (--create makes it)");
    try {
        SaveTarget target{path_, {o_.follow ? Links::Follow : Links::OwnOnly, 0600, o_.wait}};
        // A symbolic link that names nothing is no file to create.
        if (existed && !target.exists()) return fail(kUnreadable, path_ + ": " + reasonOf(ENOENT));
        const Outcome outcome = plan(target.bytes(), settings, o_.rules);
        const bool changed = outcome.after != outcome.before || !target.exists();
        std::string backupFile;
        if (statusOf(outcome) == kDone && changed) {
            if (o_.backup && target.exists()) backupFile = target.backUp();
            target.replace(outcome.after);
        }
        return answer(outcome, changed && statusOf(outcome) == kDone, statusOf(outcome),
                      backupFile);
    } catch (const LockTimeoutError& e) {
        return fail(kLocked, e.what(), e.detail());
    } catch (const ForeignLinkError& e) {
        return fail(kUnwritable, path_ + ": the symbolic link " + e.link() + " belongs to " +
                                     userName(e.owner()) +
                                     ", neither you nor root: not followed (--follow follows it)");
    } catch (const ReadError& e) {
        return fail(statusOf(e.fault()), path_ + ": " + e.detail());
    } catch (const SaveError& e) {
        return fail(kUnwritable, e.what(), e.detail());
    }
}

int Command::apply() {
    const std::string text{std::istreambuf_iterator<char>(in_), std::istreambuf_iterator<char>()};
    std::string fault;
    const std::optional<ApplyRequest> request = parseRequest(text, fault);
    if (!request) return usage("apply: " + fault);
    Options o = o_;
    o.json = true;
    o.create = o.create || request->create;
    o.rules.strict = o.rules.strict || request->strict;
    o.rules.showSecrets = o.rules.showSecrets || request->showSecrets;
    o.backup = o.backup || request->backup;
    o.wait = request->wait.value_or(o.wait);
    Command withRequest{o, in_, out_, err_};
    withRequest.path_ = path_;
    return withRequest.change(request->settings, !request->checkMode && !o.dryRun);
}

int Command::run() {
    if (o_.help) {
        out_ << kUsageText;
        return kDone;
    }
    if (o_.version) {
        out_ << "quenbyconf " << kVersion << "\n";
        return kDone;
    }
    if (o_.words.empty()) return usage("");
    const std::string& verb = o_.words[0];
    if (verb == "edit") return usage("edit takes one FILE at most, and no option");
    if (verb == "schema") {
        if (o_.words.size() != 1) return usage("schema takes no operand");
        out_ << schemaJson();
        return kDone;
    }
    if (o_.words.size() < 2) return usage(verb + " needs a FILE");
    path_ = o_.words[1];
    const std::vector<std::string> operands(o_.words.begin() + 2, o_.words.end());
    std::string fault;
    if (verb == "get") return get();
    if (verb == "check") return check();
    if (verb == "apply")
        return operands.empty() ? apply() : usage("apply reads its request on standard input");
    if (verb == "set" || verb == "diff" || verb == "unset") {
        const std::optional<std::vector<Setting>> settings =
            settingsOf(operands, verb != "unset", fault);
        if (!settings) return usage(verb + ": " + fault);
        diffAsked_ = verb == "diff" || o_.dryRun;
        return change(*settings, verb != "diff" && !o_.dryRun);
    }
    return usage("unknown verb " + verb);
}

} // namespace

int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err) {
    std::string fault;
    const std::optional<Options> options = parse(args, fault);
    if (!options) {
        err << "quenbyconf: " << fault << "\n" << kUsageText;
        return kUsage;
    }
    return Command{*options, in, out, err}.run();
}

} // namespace qe::cli
