#include "ini_text.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace qe {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isBreak(char c) {
    return c == '\n' || c == '\r';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isBlankLine(std::string_view s) {
    return std::all_of(s.begin(), s.end(), isBlank);
}

// The one place where names are folded: ASCII letters only, every other byte as is.
char lowerChar(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowerName(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), lowerChar);
    return lower;
}

bool sameName(std::string_view name, std::string_view lower) {
    if (name.size() != lower.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (lowerChar(name[i]) != lower[i]) return false;
    return true;
}

// Equal for names that match; a quick first test before comparing the names. Looks
// at the length and four letters only, so that a file of many sections is cheap.
std::uint16_t nameHash(std::string_view name) {
    if (name.empty()) return 0;
    auto at = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(lowerChar(name[i])));
    };
    const std::size_t n = name.size();
    const std::uint32_t hash = static_cast<std::uint32_t>(n) * 40503u ^ at(0) << 8 ^ at(n - 1) ^
                               at(n / 2) << 4 ^ at(n / 3) << 12;
    return static_cast<std::uint16_t>(hash ^ hash >> 16);
}

// A line break inside a written name or value would split its line in two.
std::string oneLine(std::string_view s) {
    std::string line(s);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
}

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Where the content of the line holding pos ends: at the next CR or LF, or the end.
std::size_t contentEnd(std::string_view text, std::size_t pos) {
    while (pos < text.size() && !isBreak(text[pos]))
        ++pos;
    return pos;
}

// Where the next line starts, given where the content of this one ends.
std::size_t nextLine(std::string_view text, std::size_t end) {
    if (end >= text.size()) return text.size();
    return end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
}

// Calls visit(offset, content) for each line in text[from, to) until it returns true.
template <typename Visit>
bool forLines(std::string_view text, std::size_t from, std::size_t to, Visit visit) {
    while (from < to) {
        const std::size_t end = contentEnd(text, from);
        if (visit(from, text.substr(from, end - from))) return true;
        from = nextLine(text, end);
    }
    return false;
}

// False when the line is no header; a "[" without a "]" opens no section.
bool headerName(std::string_view content, std::string_view& name) {
    std::size_t i = 0;
    while (i < content.size() && isBlank(content[i]))
        ++i;
    if (i == content.size() || content[i] != '[') return false;
    const std::size_t close = content.find(']', i + 1);
    if (close == kNone) return false;
    name = trimmed(content.substr(i + 1, close - i - 1));
    return true;
}

// Empty when the line is no key line.
std::string_view keyName(std::string_view content) {
    std::size_t i = 0;
    while (i < content.size() && isBlank(content[i]))
        ++i;
    if (i == content.size() || content[i] == ';' || content[i] == '#' || content[i] == '[')
        return {};
    const std::size_t equals = content.find('=', i);
    if (equals == kNone) return {};
    return trimmed(content.substr(i, equals - i));
}

// Calls found(line start, name) for each header line of text[start, end). Looks at
// the lines with a "[" only, so that a file of short lines costs one memchr.
template <typename Found> void scanHeaders(std::string_view text, std::size_t start, Found found) {
    const char* data = text.data();
    const std::size_t size = text.size();
    std::size_t pos = start;
    while (pos < size) {
        // A short look first: memchr costs more than it saves when "[" is near.
        const std::size_t near = std::min(size, pos + 16);
        while (pos < near && data[pos] != '[')
            ++pos;
        if (pos == near) {
            const void* hit = std::memchr(data + pos, '[', size - pos);
            if (!hit) return;
            pos = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
        }
        std::size_t begin = pos;
        while (begin > start && isBlank(data[begin - 1]))
            --begin;
        std::size_t close = pos + 1;
        if (begin != start && !isBreak(data[begin - 1])) {
            pos = close;
            continue;
        }
        while (close < size && data[close] != ']' && !isBreak(data[close]))
            ++close;
        if (close < size && data[close] == ']')
            found(begin, trimmed(text.substr(pos + 1, close - pos - 1)));
        pos = close;
    }
}

} // namespace

std::vector<IniLine> iniLines(std::string_view text) {
    std::vector<IniLine> lines;
    const std::size_t start = text.compare(0, kBom.size(), kBom) == 0 ? kBom.size() : 0;
    std::string_view section;
    forLines(text, start, text.size(), [&](std::size_t, std::string_view content) {
        IniLine line{lines.size() + 1, IniLine::Kind::Other, section, {}, content};
        const std::string_view first = trimmed(content);
        if (headerName(content, line.name)) {
            line.kind = IniLine::Kind::Header;
            section = line.section = line.name;
        } else if (first.empty()) {
            line.kind = IniLine::Kind::Blank;
        } else if (first.front() == ';' || first.front() == '#') {
            line.kind = IniLine::Kind::Comment;
        } else if (!(line.name = keyName(content)).empty()) {
            line.kind = IniLine::Kind::Key;
        }
        lines.push_back(line);
        return false;
    });
    return lines;
}

void IniText::Headers::add(std::size_t offset, std::uint16_t nameHash) {
    if (size_ % kBlock == 0) {
        blocks_.emplace_back();
        blocks_.back().low.reserve(kBlock);
        blocks_.back().hash.reserve(kBlock);
    }
    Block& block = blocks_.back();
    block.low.push_back(static_cast<std::uint32_t>(offset));
    const auto high = static_cast<std::uint16_t>(static_cast<std::uint64_t>(offset) >> 32);
    if (high != 0 || !block.high.empty()) {
        block.high.resize(block.low.size() - 1);
        block.high.push_back(high);
    }
    block.hash.push_back(nameHash);
    ++size_;
}

std::size_t IniText::Headers::offset(std::size_t i) const {
    const Block& block = blocks_[i / kBlock];
    const std::size_t j = i % kBlock;
    const std::uint64_t high = j < block.high.size() ? block.high[j] : 0;
    return static_cast<std::size_t>(high << 32 | block.low[j]);
}

IniText::IniText(std::string bytes) : data_(std::move(bytes)) {
    if (data_.compare(0, kBom.size(), kBom) == 0) bodyStart_ = kBom.size();
    const std::size_t last = data_.find_last_of("\r\n");
    if (last != std::string::npos)
        eol_ = data_[last] == '\r' ? "\r" : last > 0 && data_[last - 1] == '\r' ? "\r\n" : "\n";
    lastLineOpen_ = data_.size() > bodyStart_ && !isBreak(data_.back());
}

const IniText::Headers& IniText::headers() const {
    if (!indexed_) {
        scanHeaders(data_, bodyStart_, [&](std::size_t begin, std::string_view name) {
            headers_.add(begin, nameHash(name));
        });
        indexed_ = true;
    }
    return headers_;
}

std::size_t IniText::sectionEnd(std::size_t header) const {
    return header + 1 < headers().size() ? headers_.offset(header + 1) : data_.size();
}

template <typename Visit> bool IniText::forSections(std::string_view lowerName, Visit visit) const {
    const std::string_view text(data_);
    return headers().forHash(nameHash(lowerName), [&](std::size_t h) {
        if (!erased_.empty() && erased_[h]) return false;
        const std::size_t begin = headers_.offset(h);
        std::string_view name;
        headerName(text.substr(begin, contentEnd(text, begin) - begin), name);
        return sameName(name, lowerName) && visit(h);
    });
}

IniText::KeyLine IniText::findKey(std::string_view lowerSection, std::string_view lowerKey) const {
    auto matches = [&](std::string_view content) {
        const std::string_view name = keyName(content);
        return !name.empty() && sameName(name, lowerKey);
    };
    const std::string_view text(data_);
    KeyLine found;
    forSections(lowerSection, [&](std::size_t h) {
        // A replaced line keeps its key name, so the file's own line decides.
        const std::size_t body = nextLine(text, contentEnd(text, headers_.offset(h)));
        if (forLines(text, body, sectionEnd(h), [&](std::size_t at, std::string_view content) {
                if (!matches(content)) return false;
                auto it = replaced_.find(at);
                found = {KeyLine::In::Text, at, 0,
                         it == replaced_.end() ? content : std::string_view(it->second)};
                return true;
            }))
            return true;
        for (std::size_t a = 0; a < added_.size(); ++a) {
            if (added_[a].header != h) continue;
            for (std::size_t i = 0; i < added_[a].lines.size(); ++i)
                if (matches(added_[a].lines[i])) {
                    found = {KeyLine::In::Added, a, i, added_[a].lines[i]};
                    return true;
                }
        }
        return false;
    });
    if (found.in != KeyLine::In::Nowhere) return found;
    for (std::size_t s = 0; s < appended_.size(); ++s) {
        if (appended_[s].lowerName != lowerSection) continue;
        for (std::size_t i = 1; i < appended_[s].lines.size(); ++i)
            if (matches(appended_[s].lines[i]))
                return {KeyLine::In::New, s, i, appended_[s].lines[i]};
    }
    return found;
}

std::string IniText::read(std::string_view section, std::string_view key,
                          std::string_view def) const {
    const KeyLine line = findKey(lowerName(section), lowerName(key));
    if (line.in == KeyLine::In::Nowhere) return std::string(def);
    std::string_view value = trimmed(line.content.substr(line.content.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, kMaxValueLength));
}

std::size_t IniText::insertionPoint(std::size_t header) const {
    const std::string_view text(data_);
    std::size_t point = nextLine(text, contentEnd(text, headers_.offset(header)));
    forLines(text, point, sectionEnd(header), [&](std::size_t at, std::string_view content) {
        if (!isBlankLine(content)) point = nextLine(text, at + content.size());
        return false;
    });
    return point;
}

void IniText::write(std::string_view section, std::string_view key, std::string_view value) {
    const std::string name = oneLine(section);
    const std::string lowerSection = lowerName(name);
    std::string content = oneLine(key) + "=" + oneLine(value);
    changed_ = dirty_ = true;

    const KeyLine found = findKey(lowerSection, lowerName(oneLine(key)));
    switch (found.in) {
    case KeyLine::In::Text:
        replaced_[found.at] = std::move(content);
        return;
    case KeyLine::In::Added:
        added_[found.at].lines[found.line] = std::move(content);
        return;
    case KeyLine::In::New:
        appended_[found.at].lines[found.line] = std::move(content);
        return;
    case KeyLine::In::Nowhere:
        break;
    }
    std::size_t first = kNone;
    forSections(lowerSection, [&](std::size_t h) {
        first = h;
        return true;
    });
    if (first != kNone) {
        auto it = std::lower_bound(added_.begin(), added_.end(), first,
                                   [](const Added& a, std::size_t h) { return a.header < h; });
        if (it == added_.end() || it->header != first)
            it = added_.insert(it, Added{first, insertionPoint(first), {}});
        it->lines.push_back(std::move(content));
        return;
    }
    for (NewSection& s : appended_)
        if (s.lowerName == lowerSection) {
            s.lines.push_back(std::move(content));
            return;
        }
    appended_.push_back({lowerSection, {"[" + name + "]", std::move(content)}});
}

void IniText::eraseSection(std::string_view section) {
    const std::string lower = lowerName(oneLine(section));
    bool any = false;
    forSections(lower, [&](std::size_t h) {
        if (erased_.empty()) erased_.resize(headers_.size()); // indexed by forSections
        erased_[h] = any = true;
        return false;
    });
    if (any)
        added_.erase(std::remove_if(added_.begin(), added_.end(),
                                    [&](const Added& a) { return erased_[a.header]; }),
                     added_.end());
    const std::size_t before = appended_.size();
    appended_.erase(std::remove_if(appended_.begin(), appended_.end(),
                                   [&](const NewSection& s) { return s.lowerName == lower; }),
                    appended_.end());
    if (any || appended_.size() != before) changed_ = dirty_ = true;
}

// Puts out the text with every operation applied, piece by piece.
template <typename Sink> void IniText::produce(Sink& out) const {
    const std::string_view text(data_);
    bool open = false; // the last piece put out is the file's last line, without an ending
    auto copy = [&](std::size_t from, std::size_t to) {
        if (from >= to) return;
        out(text.substr(from, to - from));
        open = to == text.size() && lastLineOpen_;
    };
    auto line = [&](std::string_view content) {
        if (open) out(eol_);
        out(content);
        out(eol_);
        open = false;
    };
    auto addition = added_.begin();
    auto section = [&](std::size_t h, std::size_t pos, std::size_t end) {
        if (!erased_.empty() && erased_[h]) return;
        // Replaced lines are key lines, so they all stand before the added ones.
        if (!replaced_.empty())
            for (auto it = replaced_.lower_bound(pos); it != replaced_.end() && it->first < end;
                 ++it) {
                copy(pos, it->first);
                const std::size_t contentStop = contentEnd(text, it->first);
                pos = nextLine(text, contentStop);
                out(it->second);
                open = pos == text.size() && lastLineOpen_;
                copy(contentStop, pos);
            }
        while (addition != added_.end() && addition->header < h)
            ++addition;
        if (addition != added_.end() && addition->header == h) {
            copy(pos, addition->offset);
            pos = addition->offset;
            for (const std::string& added : addition->lines)
                line(added);
        }
        copy(pos, end);
    };
    std::size_t count = 0;
    std::size_t start = 0;
    auto header = [&](std::size_t begin) {
        if (count == 0)
            copy(0, begin);
        else
            section(count - 1, start, begin);
        start = begin;
        ++count;
    };
    // Without the index the headers are found again.
    if (indexed_)
        for (std::size_t h = 0; h < headers_.size(); ++h)
            header(headers_.offset(h));
    else
        scanHeaders(text, bodyStart_, [&](std::size_t begin, std::string_view) { header(begin); });
    if (count == 0)
        copy(0, text.size());
    else
        section(count - 1, start, text.size());
    for (const NewSection& made : appended_)
        for (const std::string& added : made.lines)
            line(added);
}

const std::string& IniText::bytes() const {
    if (!changed_) return data_;
    if (dirty_) {
        std::size_t size = 0;
        auto count = [&](std::string_view piece) { size += piece.size(); };
        produce(count);
        // The index costs up to twice the text for a file of nothing but headers;
        // it goes before the result is built and comes back when next needed.
        headers_ = Headers();
        indexed_ = false;
        cache_.clear();
        cache_.reserve(size);
        auto append = [&](std::string_view piece) { cache_.append(piece); };
        produce(append);
        dirty_ = false;
    }
    return cache_;
}

} // namespace qe
