// quenbyconf's options: one table gives the flag, the field it sets and the line of
// the usage, so the parser and the usage text cannot disagree.
#pragma once

#include "session.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace qe::cli {

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

// Options anywhere, "--" ends them; an option that takes a value has it joined by
// "=" or as the next argument. nullopt, with the fault in fault, when wrong.
std::optional<Options> parseOptions(const std::vector<std::string>& args, std::string& fault);

// A line of the usage for each option, in the table's order; the options that need
// no explaining (--help, --version) together on the last.
std::string optionsUsage();

} // namespace qe::cli
