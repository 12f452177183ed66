#include "session.h"

#include "judge.h"
#include "opened.h"

#include "config/error.h"
#include "config/ini_syntax.h"
#include "config/write_ini.h"

#include <algorithm>
#include <set>

namespace qe::cli {
namespace {

constexpr const char* kMask = "********";

bool isOwnedSection(std::string_view name) {
    return std::any_of(std::begin(kOwnedSections), std::end(kOwnedSections),
                       [&](const char* owned) { return ini::sameName(owned, name); });
}

const Key* keyIn(std::string_view section, std::string_view name) {
    for (const Key* k : kOwnedKeys)
        if (ini::sameName(k->section, section) && ini::sameName(k->name, name)) return k;
    return nullptr;
}

// The credential's password masked, unless secrets are shown.
std::string shown(const Key& k, const std::string& value, const Rules& rules) {
    if (rules.showSecrets || k.form != ValueForm::Credential) return value;
    const std::size_t colon = value.find(':');
    return colon == std::string::npos ? value : value.substr(0, colon + 1) + kMask;
}

// A credential given as get shows the file's one, password masked, keeps the file's
// credential: giving back get's answer must not make "********" the password.
std::string unmasked(const Key& k, const std::string& value, const std::string& bytes) {
    if (k.form != ValueForm::Credential) return value;
    const std::string current = shownValue(IniText{bytes}, k);
    return value == shown(k, current, Rules{}) ? current : value;
}

std::vector<std::pair<std::string, std::string>> valuesOf(const std::string& saved,
                                                          const Rules& rules) {
    const IniText text{saved};
    std::vector<std::pair<std::string, std::string>> values;
    for (const Key* k : kOwnedKeys)
        values.emplace_back(dottedName(*k), shown(*k, shownValue(text, *k), rules));
    return values;
}

// The saved text of the fields right after the reset: what unset brings a key to.
const std::string& resetSave() {
    static const std::string bytes = [] {
        NoPromptHost host;
        Form form{host};
        form.create();
        IniText out;
        WriteINI(form.fields(), out);
        return out.bytes();
    }();
    return bytes;
}

// The word of a flag for true or false: yes or no, true or false, as the key is
// spelled; otherwise its own word for the state that is not the default, or not.
std::string flagWord(const Key& k, bool on) {
    for (const auto& [yes, no] : {std::pair{"yes", "no"}, std::pair{"true", "false"}})
        if (indexOfWord(k.words, yes) >= 0 && indexOfWord(k.words, no) >= 0) return on ? yes : no;
    return std::string(wordAt(k.words, on ? 0 : 1));
}

std::string oneLine(std::string message) {
    for (const char* gap : {"\r\n\t", "\r\n", "\n"})
        for (std::size_t at; (at = message.find(gap)) != std::string::npos;)
            message.replace(at, std::char_traits<char>::length(gap), " ");
    return message;
}

void stopped(Outcome& out, const ConfigError& e) {
    out.loadStopped = true;
    out.errors = {{"", "", e.what()}};
}

// What the check would have asked a person: a valid ID, other file names.
void reportCheck(const Opened& opened, const std::string& text, std::vector<Entry>& into,
                 const Rules& rules) {
    const IniText file{text};
    if (opened.host.idAsked)
        into.push_back({dottedName(key::id), shownValue(file, key::id),
                        "not an e-mail ID (an \"@\", then a \".\" after at least one character): "
                        "the editor would ask for one"});
    for (const NoPromptHost::Shown& error : opened.host.errors) {
        const Key* k = error.field ? keyOfField(error.field->name()) : nullptr;
        into.push_back({k ? dottedName(*k) : "", k ? shown(*k, shownValue(file, *k), rules) : "",
                        oneLine(error.message)});
    }
}

// Keys not asked for whose value the save changes.
void reportChanges(const std::string& bytes, const std::string& text, const IniText& saved,
                   const std::set<const Key*>& asked, std::vector<Entry>& into,
                   const Rules& rules) {
    const IniText file{bytes};
    const Asked call{bytes, text};
    for (const Key* k : kOwnedKeys) {
        if (asked.count(k) || (!holds(file, *k) && !holds(saved, *k))) continue;
        const std::string before = shownValue(file, *k);
        const std::string after = shownValue(saved, *k);
        if (sameValue(*k, before, after, call)) continue;
        into.push_back({dottedName(*k), shown(*k, before, rules),
                        whatASaveDoes(shown(*k, after, rules), holds(saved, *k))});
    }
}

const char* erasedLine(const IniLine& line, std::set<std::string>& seen) {
    const std::string id = lowerName(line.section) + "\n" + lowerName(line.name);
    switch (line.kind) {
    case IniLine::Kind::Blank:
        return nullptr;
    case IniLine::Kind::Header:
        return seen.insert(id).second ? nullptr : "a save erases this repeated header";
    case IniLine::Kind::Comment:
        return "a save erases this comment";
    case IniLine::Kind::Key:
        if (!keyIn(line.section, line.name)) return "not a key of the editor's: a save erases it";
        return seen.insert(id).second ? nullptr : "a second line of this key: a save erases it";
    case IniLine::Kind::Other:
        break;
    }
    return "not a key line: a save erases it";
}

// Every line of an owned section that a save does not write again.
void reportErasedLines(const std::string& bytes, std::vector<Entry>& into, const Rules& rules) {
    std::set<std::string> seen;
    for (const IniLine& line : iniLines(bytes)) {
        if (!isOwnedSection(line.section)) continue;
        const char* why = erasedLine(line, seen);
        if (!why) continue;
        const bool keyLine = line.kind == IniLine::Kind::Key;
        std::string value(keyLine ? line.value : line.content);
        if (keyLine && !rules.showSecrets && keyIn(line.section, line.name) == &key::firewallAuth)
            value = kMask;
        into.push_back({std::string(line.section) + (keyLine ? "." + std::string(line.name) : ""),
                        value, why, line.number});
    }
}

// The load of the new values stopped: the file itself, or which values.
void blameLoad(Outcome& out, const std::vector<std::pair<const Key*, std::string>>& asked,
               const ConfigError& e, const Rules& rules) {
    try {
        openAndSave(out.before, out.before);
    } catch (const ConfigError& own) {
        stopped(out, own);
        return;
    }
    for (const auto& [k, value] : asked) {
        IniText one{out.before};
        one.write(k->section, k->name, fileValue(*k, value));
        try {
            openAndSave(one.bytes(), out.before);
        } catch (const ConfigError& why) {
            out.errors.push_back({dottedName(*k), shown(*k, value, rules), why.what()});
        }
    }
    if (out.errors.empty()) out.errors.push_back({"", "", e.what()});
}

Outcome& refused(Outcome& out, const Rules& rules) {
    out.after = out.before;
    if (!out.loadStopped) try {
            out.values = valuesOf(openAndSave(out.before, out.before)->saved, rules);
        } catch (const ConfigError&) {
            out.values.clear();
        }
    return out;
}

} // namespace

std::string dottedName(const Key& k) {
    return std::string(k.section) + "." + k.name;
}

const Key* ownedKey(std::string_view name, std::string& reason) {
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos) {
        reason = "not a key: keys are written section.key";
        return nullptr;
    }
    if (!isOwnedSection(name.substr(0, dot))) {
        reason = "not a section the editor owns";
        return nullptr;
    }
    if (const Key* k = keyIn(name.substr(0, dot), name.substr(dot + 1))) return k;
    reason = "not a key of the editor's: a save would erase it";
    return nullptr;
}

namespace {

bool isCredentialLine(const IniLine& line) {
    return line.kind == IniLine::Kind::Key && keyIn(line.section, line.name) == &key::firewallAuth;
}

// The text after "=" of the first credential line of text; nullopt without one.
std::optional<std::string_view> credentialText(std::string_view text) {
    for (const IniLine& line : iniLines(text))
        if (isCredentialLine(line)) return line.content.substr(line.content.find('=') + 1);
    return std::nullopt;
}

} // namespace

std::string maskSecrets(std::string_view text, std::optional<std::string_view> changedFrom) {
    const std::optional<std::string_view> old =
        changedFrom ? credentialText(*changedFrom) : std::nullopt;
    std::string masked;
    std::size_t copied = 0;
    for (const IniLine& line : iniLines(text)) {
        if (!isCredentialLine(line)) continue;
        const std::size_t start = static_cast<std::size_t>(line.content.data() - text.data());
        const std::size_t value = start + line.content.find('=') + 1;
        masked.append(text.substr(copied, value - copied)).append(kMask);
        copied = start + line.content.size();
        if (old && text.substr(value, copied - value) != *old) masked.append(" (changed)");
    }
    return masked.append(text.substr(copied));
}

Outcome values(const std::string& bytes, const Rules& rules) {
    Outcome out;
    out.before = out.after = bytes;
    try {
        out.values = valuesOf(openAndSave(bytes, bytes)->saved, rules);
    } catch (const ConfigError& e) {
        stopped(out, e);
    }
    return out;
}

Outcome plan(const std::string& bytes, const std::vector<Setting>& settings, const Rules& rules) {
    Outcome out;
    out.before = out.after = bytes;
    std::vector<std::pair<const Key*, std::string>> asked; // the last value of a key counts
    for (const Setting& s : settings) {
        std::string reason;
        const Key* k = ownedKey(s.key, reason);
        if (!k) {
            out.errors.push_back({s.key, s.value.value_or(""), reason});
            continue;
        }
        if (s.boolean && k->form != ValueForm::Flag) {
            out.errors.push_back({s.key, *s.value, "not a flag: give its value as a text"});
            continue;
        }
        const std::string value = s.boolean ? flagWord(*k, *s.value == "true")
                                  : s.value ? unmasked(*k, *s.value, bytes)
                                            : shownValue(IniText{resetSave()}, *k);
        auto same = std::find_if(asked.begin(), asked.end(), [&](auto& a) { return a.first == k; });
        if (same != asked.end())
            same->second = value;
        else
            asked.emplace_back(k, value);
    }
    IniText withValues{bytes};
    for (const auto& [k, value] : asked)
        withValues.write(k->section, k->name, fileValue(*k, value));
    const std::string text = withValues.bytes();
    std::unique_ptr<Opened> opened;
    try {
        opened = openAndSave(text, bytes);
    } catch (const ConfigError& e) {
        blameLoad(out, asked, e, rules);
        return refused(out, rules);
    }
    reportCheck(*opened, text, out.errors, rules);

    const IniText saved{opened->saved};
    const Asked call{bytes, text};
    std::set<const Key*> given;
    for (const auto& [k, value] : asked) {
        given.insert(k);
        const std::string back = shownValue(saved, *k);
        if (sameValue(*k, value, back, call)) continue;
        std::string why = whyNotSaved(*k, value, opened->form.fields(), call);
        if (why.empty()) why = whatASaveDoes(shown(*k, back, rules), holds(saved, *k));
        out.errors.push_back({dottedName(*k), shown(*k, value, rules), why});
    }
    reportChanges(bytes, text, saved, given, out.warnings, rules);
    reportErasedLines(bytes, out.warnings, rules);
    if (rules.strict) {
        out.errors.insert(out.errors.end(), out.warnings.begin(), out.warnings.end());
        out.warnings.clear();
    }
    if (!out.errors.empty()) return refused(out, rules);
    out.after = opened->saved;
    out.values = valuesOf(out.after, rules);
    return out;
}

Outcome check(const std::string& bytes, const Rules& rules) {
    Outcome out;
    out.before = out.after = bytes;
    std::unique_ptr<Opened> opened;
    try {
        opened = openAndSave(bytes, bytes);
    } catch (const ConfigError& e) {
        stopped(out, e);
        return out;
    }
    reportCheck(*opened, bytes, out.errors, rules);
    reportErasedLines(bytes, out.errors, rules);
    reportChanges(bytes, bytes, IniText{opened->saved}, {}, out.errors, rules);
    out.values = valuesOf(opened->saved, rules);
    return out;
}

} // namespace qe::cli
