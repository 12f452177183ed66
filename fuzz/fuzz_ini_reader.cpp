// The profile reader over arbitrary bytes, then one erase and one write.
//
// Invariants: the text of an untouched file is its input byte for byte; no read
// returns more than 2047 characters; names match without regard to letter case;
// a key with an empty name is never found; after the erase and the write, the
// written key reads back as written (blanks around it and one pair of quotes
// removed, CR and LF as spaces, cut to 2047), the erased section reads as absent,
// every other key reads as before, and a fresh parse of the resulting bytes reads
// exactly as the edited text does.
//
// The keys checked are those in play (keysInPlay): every key of a section whose
// name the input spells, of the written and the erased section, and one more that
// the input chooses. A correct reader finds no key in a section the bytes never
// name; the chosen key checks that over a run, instead of every input reading
// every key of the table, which took half the time on the seeds.
#include "config/ini_text.h"
#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using qe::IniText;
using qe::fuzz::kKeys;
using qe::fuzz::require;

constexpr std::size_t kKeyCount = sizeof kKeys / sizeof kKeys[0];
constexpr std::size_t kMaxRead = 2047;

// The value of a key, or nullopt when the key is absent: an absent key is the only
// case in which two different defaults both come back.
std::optional<std::string> lookUp(const IniText& text, std::string_view section,
                                  std::string_view key) {
    std::string first = text.read(section, key, "\x01");
    if (first != "\x01") return first;
    std::string second = text.read(section, key, "\x02");
    if (second != "\x02") return second;
    return std::nullopt;
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

bool isBlankOrQuote(char c) {
    return c == ' ' || c == '\t' || c == '"' || c == '\'';
}

// What a read gives back for a written value, by the file syntax: the line holds
// the value with CR and LF as spaces; a read drops the blanks around it and one
// pair of enclosing quotes, and keeps the first 2047 characters.
std::string readBack(std::string_view written) {
    std::string v(written);
    for (char& c : v)
        if (c == '\r' || c == '\n') c = ' ';
    std::size_t begin = 0;
    std::size_t end = v.size();
    while (begin < end && (v[begin] == ' ' || v[begin] == '\t'))
        ++begin;
    while (end > begin && (v[end - 1] == ' ' || v[end - 1] == '\t'))
        --end;
    if (end - begin >= 2 && (v[begin] == '"' || v[begin] == '\'') && v[end - 1] == v[begin]) {
        ++begin;
        --end;
    }
    return v.substr(begin, std::min(end - begin, kMaxRead));
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// Indices into kKeys, in table order: the keys whose section input names (ASCII
// letter case aside), is written or erased, or is the foreign section "", and
// kKeys[chosen].
std::vector<std::size_t> keysInPlay(std::string_view input, std::string_view written,
                                    std::string_view erased, std::size_t chosen) {
    const std::string bytes = lower(input);
    std::vector<std::size_t> keys;
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        const std::string_view section = kKeys[i].section;
        if (i == chosen || section == written || section == erased ||
            bytes.find(lower(section)) != std::string::npos)
            keys.push_back(i);
    }
    return keys;
}

// The values of keys, checking each read on the way; the empty key name once for
// each section.
std::vector<std::optional<std::string>> readAll(const IniText& text,
                                                const std::vector<std::size_t>& keys) {
    std::vector<std::optional<std::string>> values;
    values.reserve(keys.size());
    std::string_view lastSection = "\x01";
    for (std::size_t i : keys) {
        const auto& k = kKeys[i];
        auto value = lookUp(text, k.section, k.key);
        require(!value || value->size() <= kMaxRead, "a read returned more than 2047 characters");
        require(text.read(upper(k.section), upper(k.key), "\x01") == value.value_or("\x01"),
                "names matched with regard to letter case", k.key);
        if (k.section != lastSection)
            require(!lookUp(text, k.section, ""), "a key with an empty name was found", k.section);
        lastSection = k.section;
        values.push_back(std::move(value));
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    IniText text(input);
    require(text.bytes() == input, "an untouched text changed its bytes");
    if (size < 2) {
        readAll(text, keysInPlay(input, {}, {}, 0));
        return 0;
    }

    // The last two bytes choose the written key and the erased section, the one
    // before them the key checked beside those in play; the first line of the
    // input is the written value.
    const auto& written = kKeys[data[size - 1] % kKeyCount];
    const std::size_t eraseChoice = data[size - 2] % (kKeyCount + 8);
    const char* erased = eraseChoice < kKeyCount ? kKeys[eraseChoice].section : nullptr;
    const std::string value = input.substr(0, std::min(input.find('\n'), std::size_t{4096}));
    const auto keys = keysInPlay(input, written.section, erased ? erased : "\x01",
                                 size > 2 ? data[size - 3] % kKeyCount : 0);
    const auto before = readAll(text, keys);

    if (erased) text.eraseSection(erased);
    text.write(written.section, written.key, value);

    const auto after = readAll(text, keys);
    for (std::size_t at = 0; at < keys.size(); ++at) {
        const auto& k = kKeys[keys[at]];
        const bool sameSection = std::string_view(k.section) == written.section;
        if (sameSection && std::string_view(k.key) == written.key) {
            require(after[at] == readBack(value), "the written key does not read back", value);
            const bool plain = value.find_first_of("\r\n") == std::string::npos &&
                               (value.empty() ||
                                (!isBlankOrQuote(value.front()) && !isBlankOrQuote(value.back())));
            if (plain)
                require(*after[at] == value.substr(0, kMaxRead), "a plain value changed", value);
        } else if (erased && std::string_view(k.section) == erased) {
            require(!after[at], "a key of an erased section is still found", k.key);
        } else {
            require(after[at] == before[at], "a key that was not written changed", k.key);
        }
    }

    IniText reparsed(text.bytes());
    require(readAll(reparsed, keys) == after,
            "the saved bytes read differently from the edited text");
    IniText copy(text);
    require(copy.bytes() == text.bytes(), "a copy has other bytes");
    return 0;
}
