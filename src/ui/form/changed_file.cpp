#include "changed_file.h"

#include "config/ini_text.h"
#include "fields/keys.h"

namespace qe {

std::vector<std::string> changedKeys(const std::string& before, const std::string& after) {
    const IniText was{before}, now{after};
    // No value read from a file is longer than the limit, so this one marks absence.
    const std::string absent(IniText::kMaxValueLength + 1, '-');
    std::vector<std::string> keys;
    for (const Key* k : kOwnedKeys)
        if (was.read(k->section, k->name, absent) != now.read(k->section, k->name, absent))
            keys.push_back(std::string(k->section) + "." + k->name);
    return keys;
}

std::string overwriteQuestion(const ChangedFile& changed) {
    std::string text =
        changed.path + "\nhas been changed by another program since it was opened or saved here.\n";
    if (changed.keys.empty()) {
        text += "No key the editor writes has another value; other lines of the file have "
                "changed.\n";
    } else {
        text += "These keys have other values now:\n";
        for (const std::string& key : changed.keys)
            text += "    " + key + "\n";
    }
    return text + "Overwrite writes the editor's values over these changes; Cancel writes "
                  "nothing.";
}

} // namespace qe
