// What quenbyconf is asked: KEY=VALUE operands, or the JSON request of apply.
#pragma once

#include "session.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qe::cli {

struct ApplyRequest {
    std::vector<Setting> settings; // the settings first, then the keys made absent
    bool checkMode = false;
    bool create = false;
    bool strict = false;
    bool showSecrets = false;
    bool backup = false;
    std::optional<std::chrono::seconds> wait; // as given, or nullopt
};

// {"settings": {section: {key: value}}, "absent": ["section.key"], "latin1":
// ["section.key"], "check_mode", "create", "strict", "show_secrets", "backup",
// "wait": seconds}. A value is a string, a number (its text) or a boolean (a flag's
// word); null makes the key absent. A text is saved as UTF-8, or as Latin-1 for a
// key "latin1" names (as the answer of --json names the values it shows as
// Latin-1). nullopt, with the fault in fault, for any other document.
std::optional<ApplyRequest> parseRequest(const std::string& text, std::string& fault);

// How long to wait for another writer's lock: a whole number of seconds, 0 to
// 999999999, written in decimal digits; nullopt for anything else.
std::optional<std::chrono::seconds> waitOf(std::string_view text);

// KEY=VALUE operands split at the first "=", or with withValues false KEY operands,
// each made absent.
std::optional<std::vector<Setting>> settingsOf(const std::vector<std::string>& operands,
                                               bool withValues, std::string& fault);

} // namespace qe::cli
