#include "keys.h"

#include "text.h"

#include <algorithm>
#include <climits>

namespace qe {

std::vector<std::string_view> wordsOf(std::string_view words) {
    std::vector<std::string_view> all;
    for (std::size_t begin = 0; begin != std::string_view::npos;)
        all.push_back(nextWord(words, begin));
    return all;
}

std::string_view wordAt(std::string_view words, int item) {
    if (item < 0) return {};
    std::size_t begin = 0;
    for (int i = 0; i < item; ++i) {
        nextWord(words, begin);
        if (begin == std::string_view::npos) return {};
    }
    return nextWord(words, begin);
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

bool Key::isFlagSet(std::string_view value) const {
    const int known = indexOfWord(words ? words : "", value);
    if (knowsDefaultWord) return known != 1;
    return known == 0 || known >= 2;
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

std::string_view Key::defaultPort(int itemNumber) const {
    if (!ports) return port ? port : "";
    const std::string_view own = wordAt(ports, itemNumber);
    return own.empty() ? wordAt(ports, 0) : own;
}

namespace {

// The block size of item 1; each further item doubles the packet.
constexpr int kFirstBlockSize = 28;
constexpr int kBlockSizeItems = 6;

} // namespace

int blockSizeOfItem(int item) {
    return item == 0 ? -1 : item - 1 + kFirstBlockSize;
}

std::optional<int> itemOfBlockSize(int size) {
    if (size == -1) return 0;
    if (size >= kFirstBlockSize && size < kFirstBlockSize + kBlockSizeItems)
        return size - kFirstBlockSize + 1;
    return std::nullopt;
}

int coreOfItem(int item) {
    return item - 1;
}

int itemOfCore(int core) {
    return core == INT_MAX ? -1 : core + 1;
}

} // namespace qe
