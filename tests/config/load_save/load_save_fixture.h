// A form with a scripted host, loading from and saving to files held in memory.
#pragma once

#include "config/ini_syntax.h"
#include "config/ini_text.h"
#include "config/read_ini.h"
#include "config/write_ini.h"
#include "error_message.h"
#include "form_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace qe::test {

// One key line of an expected file.
struct KeyLine {
    std::string section, key, value;
};

// The bytes of base followed by these keys as a save appends them: each section
// once, where its first key comes, with a "[section]" line and its "key=value"
// lines in order. base is empty or ends in "\n".
inline std::string fileOf(const std::vector<KeyLine>& keys, std::string base = {}) {
    std::vector<std::string> sections;
    std::map<std::string, std::string> lines;
    for (const KeyLine& k : keys) {
        if (lines.count(k.section) == 0) sections.push_back(k.section);
        lines[k.section] += k.key + "=" + k.value + "\n";
    }
    for (const std::string& section : sections)
        base += "[" + section + "]\n" + lines[section];
    return base;
}

// The bytes a save gives for the ID, the project list and the other keys: misc
// keys before the project list, everything else after it, as the save orders them.
inline std::string savedFile(const std::string& id, const std::string& projects,
                             const std::vector<KeyLine>& others, std::string base = {}) {
    std::vector<KeyLine> keys{{"parameters", "id", id}};
    for (const KeyLine& k : others)
        if (k.section == "misc") keys.push_back(k);
    keys.push_back({"misc", "project-priority", projects});
    for (const KeyLine& k : others)
        if (k.section != "misc") keys.push_back(k);
    return fileOf(keys, std::move(base));
}

inline const char* const kAbsent = "<absent>";

// The owned keys, as "section.key" in lower case, whose value first holds with ends
// that a read takes off (blanks, quotes): a save writes the fields a read of them
// filled, so what the client reads of them may change with each save.
inline std::set<std::string> keysReadOtherwise(const std::string& first) {
    std::set<std::string> keys;
    for (const IniLine& line : iniLines(first))
        if (line.kind == IniLine::Kind::Key &&
            std::count(std::begin(kOwnedSections), std::end(kOwnedSections),
                       lowerName(line.section)) &&
            !ini::readsAsWritten(line.content.substr(line.content.find('=') + 1)))
            keys.insert(lowerName(line.section) + "." + lowerName(line.name));
    return keys;
}

// Whether second, the save of an Open of first, keeps what first says: what the
// client reads of each owned key that first holds as it reads; and the bytes, when
// first holds every key so.
inline ::testing::AssertionResult savesStably(const std::string& first, const std::string& second) {
    const std::set<std::string> otherwise = keysReadOtherwise(first);
    for (const Key* k : kOwnedKeys) {
        if (otherwise.count(std::string(k->section) + "." + k->name)) continue;
        const std::string before = IniText(first).read(k->section, k->name, kAbsent);
        if (before != IniText(second).read(k->section, k->name, kAbsent))
            return ::testing::AssertionFailure() << k->name << " read " << before << " at first";
    }
    if (!otherwise.empty() || first == second) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the bytes changed:\n" << first << "\nthen\n" << second;
}

class LoadSave : public FormTest {
protected:
    // What Open does once the file is read: reset, then load.
    void load(std::string text) {
        form.cleanINI();
        ReadINI(f, IniText(std::move(text)));
    }
    // The message of the error the load stops with, or "" when it completes.
    std::string loadError(std::string text) {
        return messageOf([&] { load(std::move(text)); });
    }
    std::string save(std::string existing = {}) {
        IniText target(std::move(existing));
        WriteINI(f, target);
        return target.bytes();
    }
    // The value a save writes to the key, or kAbsent.
    std::string savedValue(const char* section, const char* key) {
        return IniText(save()).read(section, key, kAbsent);
    }
};

} // namespace qe::test
