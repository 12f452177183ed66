#include "options.h"

#include "request.h"

#include <algorithm>
#include <string_view>
#include <variant>

namespace qe::cli {
namespace {

// What an option sets: a switch of the command or of the rules turns on; a number
// of seconds is read from the option's value.
using Field = std::variant<bool Options::*, bool Rules::*, std::chrono::seconds Options::*>;

struct Option {
    std::string_view flag;
    Field field;
    std::string_view help; // empty: named on the usage's last line, without a text
    std::string_view alias = {};
};

const Option kOptions[] = {
    {"--json", &Options::json, "answer with one JSON object on standard output"},
    {"--strict", &Rules::strict, "refuse the call when the save changes a key not given"},
    {"--dry-run", &Options::dryRun, "set, unset: show the diff, write nothing"},
    {"--create", &Options::create, "make FILE when it does not exist (mode 0600)"},
    {"--show-secrets", &Rules::showSecrets, "show the proxy password instead of ********"},
    {"--follow", &Options::follow, "follow a symbolic link at FILE whoever owns it"},
    {"--backup", &Options::backup, "copy FILE beside it before a write that changes it"},
    {"--wait", &Options::wait, "wait this long for another writer's lock (default 30)"},
    {"--help", &Options::help, {}, "-h"},
    {"--version", &Options::version, {}},
};

bool takesValue(const Option& option) {
    return std::holds_alternative<std::chrono::seconds Options::*>(option.field);
}

// The option spelled arg, or with a value "--flag=value"; nullptr for none.
const Option* optionOf(std::string_view arg) {
    for (const Option& option : kOptions) {
        if (arg == option.flag || (!option.alias.empty() && arg == option.alias)) return &option;
        if (takesValue(option) && arg.size() > option.flag.size() &&
            arg.substr(0, option.flag.size()) == option.flag && arg[option.flag.size()] == '=')
            return &option;
    }
    return nullptr;
}

// A switch: its field turned on.
void turnOn(Options& o, const Option& option) {
    if (const auto* field = std::get_if<bool Options::*>(&option.field))
        o.*(*field) = true;
    else
        o.rules.*std::get<bool Rules::*>(option.field) = true;
}

// An option with a value: its field set from the value; false, with the fault in
// fault, when the value is wrong.
bool setValue(Options& o, const Option& option, const std::string& value, std::string& fault) {
    const std::optional<std::chrono::seconds> seconds = waitOf(value);
    if (!seconds) {
        fault = std::string(option.flag) + " takes a whole number of seconds, not " + value;
        return false;
    }
    o.*std::get<std::chrono::seconds Options::*>(option.field) = *seconds;
    return true;
}

} // namespace

std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string& fault) {
    Options o;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            o.words.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        const Option* option = optionOf(a);
        if (!option) {
            fault = "unknown option " + a;
            return std::nullopt;
        }
        if (!takesValue(*option)) {
            turnOn(o, *option);
            continue;
        }
        const bool joined = a != option->flag;
        if (!joined && i + 1 == args.size()) {
            fault = std::string(option->flag) + " needs a number of seconds";
            return std::nullopt;
        }
        const std::string value = joined ? a.substr(option->flag.size() + 1) : args[++i];
        if (!setValue(o, *option, value, fault)) return std::nullopt;
    }
    return o;
}

std::string optionsUsage() {
    constexpr std::size_t kHelpColumn = 16;
    std::string lines;
    std::string unexplained;
    for (const Option& option : kOptions) {
        std::string left{option.flag};
        if (takesValue(option)) left += " SECONDS";
        if (option.help.empty()) {
            unexplained += (unexplained.empty() ? "" : ", ") + left;
            continue;
        }
        left.resize(std::max(kHelpColumn, left.size() + 2), ' ');
        lines += "  " + left + std::string(option.help) + "\n";
    }
    return lines + "  " + unexplained + "\n";
}

} // namespace qe::cli
