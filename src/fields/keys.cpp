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

std::vector<std::string_view> Key::fieldNames() const {
    std::vector<std::string_view> names;
    const std::string_view all = fields;
    for (std::size_t begin = 0; begin < all.size();) {
        const std::size_t end = std::min(all.find(' ', begin), all.size());
        if (end > begin) names.push_back(all.substr(begin, end - begin));
        begin = end + 1;
    }
    return names;
}

const Key* keyOfField(std::string_view controlName) {
    for (const Key* k : kOwnedKeys)
        for (std::string_view name : k->fieldNames())
            if (name == controlName) return k;
    return nullptr;
}

const char* proxyPort(int proxyType) {
    return proxyType == 1 ? "8080" : "1080";
}

} // namespace qe
