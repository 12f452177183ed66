#include "changed_file.h"

#include "config/ini_text.h"
#include "fields/keys.h"

#include <optional>

namespace qe {

namespace {

// The key's value in the file, or nullopt when the file does not hold the key.
std::optional<std::string> valueIn(const IniText& file, const Key& k) {
    if (!file.has(k.section, k.name)) return std::nullopt;
    return file.read(k.section, k.name, "");
}

} // namespace

std::vector<std::string> changedKeys(const std::string& before, const std::string& after) {
    const IniText was{before}, now{after};
    std::vector<std::string> keys;
    for (const Key* k : kOwnedKeys)
        if (valueIn(was, *k) != valueIn(now, *k))
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
