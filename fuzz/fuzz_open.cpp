// A full Open of arbitrary bytes: the reset, then the load, then a save into the
// same text.
//
// Invariants: the load completes or stops with one of the editor's own messages
// ("'<text>' is not a valid integer value" for a text the integer conversion
// rejects, or "Coding table entry not found."), never with any other exception;
// a save after it, complete or not, changes no byte outside the ten owned sections,
// as a line splitter of this file's own sees them; and an Open and a Save of what
// that save wrote, in the same editor (its reset first, as every Open does),
// gives a file the client reads the same: every owned key's value, unless that
// value itself has blanks or quotes at its ends for the next read to take off
// (the field holds what a read gave, and a save writes it as it stands), and the
// same bytes when no value written has blanks or quotes at its ends.
#include "config/error.h"
#include "config/ini_syntax.h"
#include "config/ini_text.h"
#include "config/read_ini.h"
#include "config/write_ini.h"
#include "fields/text.h"
#include "fuzz_support.h"
#include "ui/form/form.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace {

using qe::IniText;
using qe::fuzz::require;

constexpr std::string_view kIntegerSuffix = "' is not a valid integer value";

// message is what() gives, so it ends at the first NUL byte of the offending text:
// it is then "'" and the text up to that NUL, which the file holds before a NUL.
// The text itself may hold the words of the message.
bool isEditorMessage(std::string_view message, const std::string& file) {
    if (message == "Coding table entry not found.") return true;
    if (message.empty() || message.front() != '\'') return false;
    if (file.find(std::string(message.substr(1)) + '\0') != std::string::npos) return true;
    if (message.size() < 1 + kIntegerSuffix.size() ||
        message.substr(message.size() - kIntegerSuffix.size()) != kIntegerSuffix)
        return false;
    const std::string_view text = message.substr(1, message.size() - 1 - kIntegerSuffix.size());
    return text.size() <= IniText::kMaxValueLength && !qe::parseInt(text);
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isOwned(const std::string& lowerName) {
    return std::any_of(std::begin(qe::kOwnedSections), std::end(qe::kOwnedSections),
                       [&](const char* section) { return lowerName == section; });
}

// The bytes of text outside the owned sections, every line with its own ending: a
// line opens a section when its first non-blank character is "[" and a "]"
// follows; the name between them, blanks trimmed, is matched without regard to
// ASCII letter case. A UTF-8 byte order mark in front of the first line is kept.
std::string foreignPart(std::string_view text) {
    std::string kept;
    std::size_t pos = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        kept = text.substr(0, 3);
        pos = 3;
    }
    bool owned = false;
    while (pos < text.size()) {
        std::size_t end = pos;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        const std::string_view content = text.substr(pos, end - pos);
        if (end < text.size()) end += text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        std::size_t first = 0;
        while (first < content.size() && isBlank(content[first]))
            ++first;
        const std::size_t close = content.find(']', first);
        if (first < content.size() && content[first] == '[' && close != std::string_view::npos) {
            std::string name(content.substr(first + 1, close - first - 1));
            while (!name.empty() && isBlank(name.back()))
                name.pop_back();
            name.erase(0, std::min(name.size(), name.find_first_not_of(" \t")));
            for (char& c : name)
                if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            owned = isOwned(name);
        }
        if (!owned) kept += text.substr(pos, end - pos);
        pos = end;
    }
    return kept;
}

bool endsLine(const std::string& s) {
    return !s.empty() && (s.back() == '\n' || s.back() == '\r');
}

// An invariant that an input broke, with what went wrong.
struct Broken {
    const char* what;
    std::string detail;
};

// Open: the reset and the load of the bytes. Checks the message a load stops with.
std::optional<Broken> open(qe::Form& form, const IniText& file) {
    form.cleanINI();
    try {
        qe::ReadINI(form.fields(), file);
    } catch (const qe::ConfigError& e) {
        if (!isEditorMessage(e.what(), file.original()))
            return Broken{"a load stopped with a message of its own", e.what()};
    } catch (...) {
        return Broken{"a load threw something other than ConfigError", {}};
    }
    return std::nullopt;
}

// Save: the fields written into the bytes of the target.
std::string save(const qe::Form& form, const std::string& target) {
    IniText text(target);
    qe::WriteINI(form.fields(), text);
    return text.bytes();
}

// The save appends the owned sections, so a last foreign line without a line
// ending gets one; nothing else outside the owned sections may differ.
bool keepsForeignBytes(const std::string& input, const std::string& saved) {
    const std::string kept = foreignPart(input);
    const std::string after = foreignPart(saved);
    const std::string tail = after.substr(std::min(after.size(), kept.size()));
    return after == kept ||
           (!kept.empty() && !endsLine(kept) && after.compare(0, kept.size(), kept) == 0 &&
            (tail == "\n" || tail == "\r\n" || tail == "\r"));
}

// The owned keys, as "section.key" in lower case, whose value saved holds with ends
// that a read takes off (blanks, quotes): a save writes the fields a read of them
// filled, so what the client reads of them may change with each save.
std::set<std::string> keysReadOtherwise(const std::string& saved) {
    std::set<std::string> keys;
    for (const qe::IniLine& line : qe::iniLines(saved))
        if (line.kind == qe::IniLine::Kind::Key && isOwned(qe::lowerName(line.section)) &&
            !qe::ini::readsAsWritten(line.content.substr(line.content.find('=') + 1)))
            keys.insert(qe::lowerName(line.section) + "." + qe::lowerName(line.name));
    return keys;
}

// Whether an Open and a Save of saved, which gave again, keep what the client reads
// of every key saved as it reads, and the bytes when every key is.
std::optional<Broken> keepsWhatTheClientReads(const std::string& saved, const std::string& again) {
    const IniText first(saved), second(again);
    const std::string absent(IniText::kMaxValueLength + 1, '-');
    const std::set<std::string> otherwise = keysReadOtherwise(saved);
    for (const qe::Key* k : qe::kOwnedKeys) {
        if (otherwise.count(std::string(k->section) + "." + k->name)) continue;
        if (first.read(k->section, k->name, absent) != second.read(k->section, k->name, absent))
            return Broken{"a second save of a saved file changed what the client reads", k->name};
    }
    if (otherwise.empty() && again != saved)
        return Broken{"a second save of a saved file changed it", {}};
    return std::nullopt;
}

// The first invariant that an Open and a Save of input, and again of what that save
// wrote, break in form.
std::optional<Broken> check(qe::Form& form, const std::string& input) {
    if (auto broken = open(form, IniText(input))) return broken;
    const std::string saved = save(form, input);
    if (!keepsForeignBytes(input, saved))
        return Broken{"a save changed bytes outside the owned sections", {}};
    if (auto broken = open(form, IniText(saved))) return broken;
    return keepsWhatTheClientReads(saved, save(form, saved));
}

} // namespace

// One editor for the whole run, as the window keeps one for all its Opens: building
// an editor took a quarter of the time of an input. Every Open starts with the
// reset, but six fields keep what an earlier file gave them, so an input that
// breaks an invariant is checked again in a new editor, which tells whether the
// input alone breaks it (and so whether running the kept input again shows it).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static qe::fuzz::SilentHost host;
    static qe::Form shared(host);
    const std::string input(reinterpret_cast<const char*>(data), size);
    if (const std::optional<Broken> broken = check(shared, input)) {
        qe::Form fresh(host);
        const bool alone = check(fresh, input).has_value();
        require(false, broken->what,
                alone ? broken->detail : "only after earlier inputs, in the same editor");
    }
    return 0;
}
