#include "judge.h"

#include "opened.h"
#include "session.h"
#include "ui/form/tooltip.h"

#include "config/error.h"
#include "config/ini_syntax.h"
#include "config/value_forms.h"
#include "fields/text.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace qe::cli {
namespace {

std::string withValue(const std::string& text, const Key& k, const std::string& value) {
    IniText t{text};
    t.write(k.section, k.name, fileValue(k, value));
    return t.bytes();
}

// What a save over the file gives for k when text holding value at k is opened;
// nullopt when that load stops.
std::optional<std::string> readBackOf(const Key& k, const std::string& value,
                                      const std::string& text, const std::string& bytes) {
    try {
        const auto opened = openAndSave(withValue(text, k, value), bytes);
        return shownValue(IniText{opened->saved}, k);
    } catch (const ConfigError&) {
        return std::nullopt;
    }
}

// Loading either value gives the same save, and that save writes the key.
bool sameState(const Key& k, const std::string& a, const std::string& b, const Asked& call) {
    try {
        const std::string saved = openAndSave(withValue(call.withValues, k, a), call.bytes)->saved;
        return holds(IniText{saved}, k) &&
               saved == openAndSave(withValue(call.withValues, k, b), call.bytes)->saved;
    } catch (const ConfigError&) {
        return false;
    }
}

std::string joined(const std::vector<std::string>& parts, const char* last) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) text += i + 1 == parts.size() ? last : ", ";
        text += parts[i];
    }
    return text;
}

// The words of a flag or a word key, in the table's order.
std::vector<std::string_view> wordsOf(const Key& k) {
    return qe::wordsOf(k.words ? k.words : "");
}

std::string wordsText(const Key& k) {
    std::vector<std::string> words;
    for (std::string_view word : wordsOf(k))
        words.push_back(word.empty() ? "empty" : std::string(word));
    return (words.size() > 2 ? "one of " : "") + joined(words, " or ");
}

const Fields& catalogue() {
    static const Fields fields;
    return fields;
}

std::vector<const Control*> spinsOf(const Key& k, const Fields& fields) {
    std::vector<const Control*> spins;
    for (std::string_view name : k.fieldNames())
        if (const Control* c = fields.find(name); c && c->kind() == Kind::Spin) spins.push_back(c);
    return spins;
}

bool onlySpins(const Key& k) {
    return spinsOf(k, catalogue()).size() == k.fieldNames().size();
}

bool isNumber(const Key& k) {
    return k.form == ValueForm::Integer || k.form == ValueForm::LenientInteger ||
           k.form == ValueForm::IntegerText;
}

// Ranges of whole numbers, joined where they touch.
using Ranges = std::vector<std::pair<long long, long long>>;

std::string rangesText(Ranges ranges) {
    std::sort(ranges.begin(), ranges.end());
    Ranges merged;
    for (const auto& r : ranges)
        if (!merged.empty() && r.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, r.second);
        else
            merged.push_back(r);
    std::vector<std::string> parts;
    for (const auto& [low, high] : merged)
        parts.push_back(low == high ? std::to_string(low)
                                    : std::to_string(low) + " to " + std::to_string(high));
    return joined(parts, " or ");
}

// The numbers a key whose fields are not all spins takes, found by saving each of
// -1 to 64 and the ranges of its spins.
std::string numbersTaken(const Key& k, const Asked& call) {
    Ranges taken;
    const char* unit = "";
    for (const Control* spin : spinsOf(k, catalogue())) {
        taken.emplace_back(spin->minValue(), spin->maxValue());
        unit = spin->unit();
    }
    for (int n = -1; n <= 64; ++n) {
        const std::string value = std::to_string(n);
        const std::optional<std::string> back = readBackOf(k, value, call.withValues, call.bytes);
        if (back && sameNumber(*back, value)) taken.emplace_back(n, n);
    }
    if (taken.empty()) return {};
    return rangesText(taken) + (*unit ? std::string(" ") + unit : "");
}

// The limits of the spins among k's fields that the file's values leave on screen.
std::string spinLimitsShown(const Key& k, const Fields& loaded) {
    std::vector<std::string> limits;
    for (const Control* spin : spinsOf(k, loaded)) {
        const std::string text = spinLimits(*spin);
        if (spin->shownInTree() && std::find(limits.begin(), limits.end(), text) == limits.end())
            limits.push_back(text);
    }
    return joined(limits, " and ");
}

// The values of another key worth trying: the words of flags and words, and 1 for
// a number that switches a box on.
std::vector<std::string> probesOf(const Key& k) {
    std::vector<std::string> probes;
    if (k.form == ValueForm::Flag || k.form == ValueForm::Word) {
        for (std::string_view word : wordsOf(k))
            probes.emplace_back(word);
    } else if ((k.form == ValueForm::Integer || k.form == ValueForm::LenientInteger) &&
               !onlySpins(k)) {
        probes.emplace_back("1");
    }
    return probes;
}

// "not saved while <key> is <value>" for the first other key whose other state
// would let k be saved as value.
std::string blockingKey(const Key& k, const std::string& value, const Asked& call) {
    const IniText asked{call.withValues};
    for (const Key* other : kOwnedKeys) {
        if (other == &k) continue;
        const std::string current = shownValue(asked, *other);
        for (const std::string& probe : probesOf(*other)) {
            if (sameValue(*other, probe, current, call)) continue;
            const std::string text = withValue(call.withValues, *other, probe);
            const std::optional<std::string> back = readBackOf(k, value, text, call.bytes);
            if (back && sameValue(k, value, *back, {call.bytes, text}))
                return "not saved while " + dottedName(*other) + " is " +
                       (current.empty() ? "none" : current);
        }
    }
    return {};
}

// "the client reads it without the blanks at its ends" when a read of value, as a
// save writes it, takes blanks or quotes off its ends; empty otherwise.
std::string endsARemoves(std::string_view value) {
    const std::string_view trimmed = ini::trimmed(value);
    const bool blanks = trimmed != value;
    const bool quotes = ini::unquoted(trimmed) != trimmed;
    if (!blanks && !quotes) return {};
    return std::string("the client reads it without the ") +
           (blanks && quotes ? "blanks and quotes"
            : blanks         ? "blanks"
                             : "quotes") +
           " at its ends";
}

} // namespace

bool sameValue(const Key& k, const std::string& asked, const std::string& readBack,
               const Asked& call) {
    if (const std::optional<bool> same = sameMeaning(k, asked, readBack)) return *same;
    return sameState(k, asked, readBack, call);
}

std::string whyNotSaved(const Key& k, const std::string& value, const Fields& loaded,
                        const Asked& call) {
    if (k.form != ValueForm::Credential) // Base64 in the file, which a read keeps whole
        if (std::string ends = endsARemoves(value); !ends.empty()) return ends;
    if ((k.form == ValueForm::Flag || k.form == ValueForm::Word) && !isWord(k, value))
        return wordsText(k);
    const bool number = isNumber(k);
    if (number && onlySpins(k)) {
        const Control& spin = *spinsOf(k, catalogue()).front();
        const std::string limits = spinLimits(spin);
        const std::optional<int> n = parseInt(value);
        if (!n) return "a whole number, " + limits;
        if (*n < spin.minValue() || *n > spin.maxValue()) return limits;
    }
    if (const std::string blocked = blockingKey(k, value, call); !blocked.empty()) return blocked;
    if (number && !onlySpins(k)) return numbersTaken(k, call);
    return spinLimitsShown(k, loaded);
}

std::string whatASaveDoes(const std::string& readBack, bool written) {
    const std::string shown = readBack.empty() ? "an empty value" : readBack;
    return written ? "a save writes " + shown : "a save leaves it out: the client takes " + shown;
}

} // namespace qe::cli
