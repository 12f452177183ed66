// How quenbyconf answers: a line per entry, and the JSON object of --json.
#pragma once

#include "session.h"

#include <string>
#include <vector>

namespace qe::cli {

// The exit status of an outcome: the load stopped, refused, or done.
int statusOf(const Outcome& outcome);

// "section.key=value: why"; "line 7: [misc] ; a note: why" for a line of the file;
// the message alone for the file as a whole.
std::string entryLine(const Entry& e);

// The values of the keys named, in the order named; a name that is no owned key
// goes into errors.
std::vector<std::pair<std::string, std::string>>
pickValues(const std::vector<std::pair<std::string, std::string>>& values,
           const std::vector<std::string>& names, std::vector<Entry>& errors);

// {"changed", "values", "latin1", "diff": {"before", "after"}, "warnings", "errors"},
// the credential masked in the texts unless secrets are shown (a changed one marked
// on the after side), and "backup_file" when a backup was made. Values are texts by
// config/value_text.h; "latin1" lists the keys whose values are shown as Latin-1.
std::string jsonAnswer(const Outcome& outcome, bool changed, bool showSecrets,
                       const std::string& backupFile = {});

} // namespace qe::cli
