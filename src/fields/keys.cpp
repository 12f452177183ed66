#include "keys.h"

#include "text.h"

#include <algorithm>

namespace qe {

int indexOfWord(std::string_view words, std::string_view value) {
    int item = 0;
    for (std::size_t begin = 0;; ++item) {
        const std::size_t bar = words.find('|', begin);
        if (words.substr(begin, bar - begin) == value) return item;
        if (bar == std::string_view::npos) return -1;
        begin = bar + 1;
    }
}

std::string_view wordAt(std::string_view words, int item) {
    if (item < 0) return {};
    std::size_t begin = 0;
    for (int i = 0; i < item; ++i) {
        begin = words.find('|', begin);
        if (begin == std::string_view::npos) return {};
        ++begin;
    }
    return words.substr(begin, words.find('|', begin) - begin);
}

int Key::number() const {
    return parseInt(def ? def : "").value_or(0);
}

std::string_view Key::word(int itemNumber) const {
    return wordAt(words ? words : "", itemNumber);
}

int Key::item(std::string_view value) const {
    return std::max(indexOfWord(words ? words : "", value), 0);
}

namespace {

// Calls visit with each blank-separated name of fields until it returns true.
template <typename Visit> bool anyFieldName(std::string_view fields, Visit visit) {
    for (std::size_t begin = 0; begin < fields.size();) {
        const std::size_t end = std::min(fields.find(' ', begin), fields.size());
        if (end > begin && visit(fields.substr(begin, end - begin))) return true;
        begin = end + 1;
    }
    return false;
}

} // namespace

std::vector<std::string_view> Key::fieldNames() const {
    std::vector<std::string_view> names;
    anyFieldName(fields, [&](std::string_view field) {
        names.push_back(field);
        return false;
    });
    return names;
}

const Key* keyOfField(std::string_view controlName) {
    // Asked once per control while the window is built: no allocation here.
    for (const Key* k : kOwnedKeys)
        if (anyFieldName(k->fields, [&](std::string_view name) { return name == controlName; }))
            return k;
    return nullptr;
}

const char* proxyPort(int proxyType) {
    return proxyType == 1 ? "8080" : "1080";
}

} // namespace qe
