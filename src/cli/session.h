// What quenbyconf works out from the bytes of a file, without touching any file:
// the values the client uses after the editor opens it, the save that a set of new
// values gives, and the findings of the check. Each is the window's own sequence:
// Open (the reset, the load), the values as a file holding them would give them,
// the check with no one to answer a prompt, the save into memory.
#pragma once

#include "fields/keys.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qe::cli {

// One line of a report: the key ("section.key"; a section alone for a line that
// is no key line; empty for the file as a whole), the value concerned, and why.
struct Entry {
    std::string key;
    std::string value;
    std::string message;
    std::size_t line = 0; // for a line of the file that a save erases: its number
};

// A key and its new value as given (the credential as user:password); nullopt
// brings the key back to the value the reset gives.
struct Setting {
    std::string key;
    std::optional<std::string> value;
    bool boolean = false; // value is "true" or "false", to be spelled as the flag's word
};

struct Outcome {
    std::string before; // the file's bytes
    std::string after;  // what a save writes; before, when refused
    // Every owned key as get shows it: after the save, or before it when refused.
    std::vector<std::pair<std::string, std::string>> values;
    std::vector<Entry> warnings;
    std::vector<Entry> errors;
    bool loadStopped = false; // the file itself stops the load; errors says why
};

struct Rules {
    bool strict = false;      // a warning refuses the call
    bool showSecrets = false; // the proxy password shown, not masked
};

// The values of bytes as a save of it gives them.
Outcome values(const std::string& bytes, const Rules& rules);
// What a save of bytes with the new settings gives: every setting saved as given,
// or errors and after == before.
Outcome plan(const std::string& bytes, const std::vector<Setting>& settings, const Rules& rules);
// The findings of the check: values that stop the load, an ID the check would ask
// for, forbidden file names, lines of the owned sections that a save erases, and
// keys whose value a save changes. They are the errors of the outcome.
Outcome check(const std::string& bytes, const Rules& rules);

// The owned key that "section.key" names, letter case aside; nullptr, with why in
// reason, for any other name.
const Key* ownedKey(std::string_view name, std::string& reason);
std::string dottedName(const Key& k);

// text with the value of every proxy credential line masked. With changedFrom (the
// text before a change), a credential line whose value is not the one changedFrom
// holds is marked: "firewall-auth=******** (changed)", so that a diff of the masked
// texts shows every change of the credential.
std::string maskSecrets(std::string_view text, std::optional<std::string_view> changedFrom = {});

} // namespace qe::cli
