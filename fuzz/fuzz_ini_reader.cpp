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
// The input's last bytes choose the keys checked: the written key, a key of the
// erased section, and one more. Letter case and the empty name are checked on the
// edited text, whose reads go through both the input's lines and the written ones.
// Three keys an input, rather than every key of the table, keeps a run at tens of
// thousands of inputs a second, and over a run every key is chosen in every role.
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

// The value of a key, or nullopt when the key is absent. A read never gives a line
// break, so a default of one tells an absent key.
std::optional<std::string> lookUp(const IniText& text, std::string_view section,
                                  std::string_view key) {
    std::string value = text.read(section, key, "\n");
    if (value == "\n") return std::nullopt;
    return value;
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

// The values of keys, checking the length of each read; with checkNames, also that
// upper-case names read the same and that the empty key name is never found.
std::vector<std::optional<std::string>>
readAll(const IniText& text, const std::vector<std::size_t>& keys, bool checkNames = false) {
    std::vector<std::optional<std::string>> values;
    values.reserve(keys.size());
    std::string_view lastSection = "\x01";
    for (std::size_t i : keys) {
        const auto& k = kKeys[i];
        auto value = lookUp(text, k.section, k.key);
        require(!value || value->size() <= kMaxRead, "a read returned more than 2047 characters");
        if (checkNames) {
            require(lookUp(text, upper(k.section), upper(k.key)) == value,
                    "names matched with regard to letter case", k.key);
            if (k.section != lastSection)
                require(!lookUp(text, k.section, ""), "a key with an empty name was found",
                        k.section);
            lastSection = k.section;
        }
        values.push_back(std::move(value));
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    IniText text(input);
    require(text.bytes() == input, "an untouched text changed its bytes");
    if (size < 3) {
        for (std::size_t i = 0; i < size; ++i)
            readAll(text, {data[i] % kKeyCount}, true);
        return 0;
    }

    // The last byte chooses the written key, the one before it a key whose section
    // is erased (or none), the one before those one more key to check; the first
    // line of the input is the written value.
    const std::size_t writtenAt = data[size - 1] % kKeyCount;
    const auto& written = kKeys[writtenAt];
    const std::size_t eraseChoice = data[size - 2] % (kKeyCount + 8);
    const char* erased = eraseChoice < kKeyCount ? kKeys[eraseChoice].section : nullptr;
    const std::string value = input.substr(0, std::min(input.find('\n'), std::size_t{4096}));
    std::vector<std::size_t> keys{writtenAt};
    if (erased) keys.push_back(eraseChoice);
    keys.push_back(data[size - 3] % kKeyCount);
    const auto before = readAll(text, keys);

    if (erased) text.eraseSection(erased);
    text.write(written.section, written.key, value);

    const auto after = readAll(text, keys, true);
    for (std::size_t at = 0; at < keys.size(); ++at) {
        const auto& k = kKeys[keys[at]];
        if (std::string_view(k.section) == written.section &&
            std::string_view(k.key) == written.key) {
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
