#include "ini_text.h"

#include <algorithm>
#include <utility>

namespace qe {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
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

// A line break inside a written name or value would split its line in two.
std::string oneLine(std::string_view s) {
    std::string line(s);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
}

constexpr std::string_view kBom = "\xEF\xBB\xBF";

} // namespace

IniText::IniText(std::string bytes) : original_(std::make_unique<std::string>(std::move(bytes))) {
    parse();
}

IniText::IniText(const IniText& other) : IniText(other.bytes()) {}

IniText& IniText::operator=(const IniText& other) {
    if (this != &other) *this = IniText(other.bytes());
    return *this;
}

IniText::IniText(IniText&&) noexcept = default;
IniText& IniText::operator=(IniText&&) noexcept = default;
IniText::~IniText() = default;

IniText::Line IniText::classify(const char* data, std::size_t size, std::size_t contentSize) {
    Line line;
    line.data = data;
    line.size = size;
    line.contentSize = contentSize;
    std::string_view c(data, contentSize);
    std::size_t i = 0;
    while (i < c.size() && isBlank(c[i]))
        ++i;
    if (i == c.size() || c[i] == ';' || c[i] == '#') return line;
    std::size_t nameEnd;
    if (c[i] == '[') {
        ++i;
        nameEnd = std::min(c.find(']', i), c.size());
        line.kind = Kind::Header;
    } else {
        nameEnd = c.find('=', i);
        if (nameEnd == std::string_view::npos) return line;
        line.kind = Kind::Key;
    }
    std::string_view name = trimmed(c.substr(i, nameEnd - i));
    if (line.kind == Kind::Key && name.empty()) {
        line.kind = Kind::Other;
        return line;
    }
    line.nameBegin = static_cast<std::size_t>(name.data() - data);
    line.nameSize = name.size();
    return line;
}

void IniText::parse() {
    const char* data = original_->data();
    const std::size_t n = original_->size();
    lines_.reserve(static_cast<std::size_t>(std::count(data, data + n, '\n')) + 2);
    bool eolKnown = false;
    std::size_t pos = 0;
    if (original_->compare(0, kBom.size(), kBom) == 0) {
        // The mark stays in front of the text as a line of its own with no content,
        // so that it survives an erase of the first section and hides no header.
        Line bom;
        bom.data = data;
        bom.size = kBom.size();
        lines_.push_back(bom);
        pos = kBom.size();
    }
    while (pos < n) {
        std::size_t end = pos;
        while (end < n && data[end] != '\n' && data[end] != '\r')
            ++end;
        std::size_t eolSize = 0;
        if (end < n) eolSize = data[end] == '\r' && end + 1 < n && data[end + 1] == '\n' ? 2 : 1;
        if (!eolKnown && eolSize > 0) {
            eol_.assign(data + end, eolSize);
            eolKnown = true;
        }
        Line line = classify(data + pos, end - pos + eolSize, end - pos);
        const std::size_t index = lines_.size();
        if (line.kind == Kind::Header) {
            if (!sections_.empty()) sections_.back().end = index;
            Section section;
            section.lowerName = lowerName({line.data + line.nameBegin, line.nameSize});
            section.first = section.insertAfter = index;
            sections_.push_back(std::move(section));
        } else if (!sections_.empty() && !isBlankLine(line.content())) {
            sections_.back().insertAfter = index;
        }
        lines_.push_back(line);
        pos = end + eolSize;
    }
    if (!sections_.empty()) sections_.back().end = lines_.size();
    preambleEnd_ = sections_.empty() ? lines_.size() : sections_.front().first;

    byName_.reserve(sections_.size());
    for (std::size_t i = 0; i < sections_.size(); ++i)
        linkByName(i);
}

void IniText::linkByName(std::size_t index) {
    auto [it, isNew] = byName_.try_emplace(sections_[index].lowerName, SameName{index, index});
    if (!isNew) sections_[std::exchange(it->second.last, index)].nextSameName = index;
}

const IniText::Line* IniText::findKey(const std::string& lowerSection,
                                      std::string_view lowerKey) const {
    auto it = byName_.find(lowerSection);
    if (it == byName_.end()) return nullptr;
    auto matches = [&](const Line& line) {
        return line.kind == Kind::Key &&
               sameName({line.data + line.nameBegin, line.nameSize}, lowerKey);
    };
    for (std::size_t index = it->second.first; index != kNone;
         index = sections_[index].nextSameName) {
        const Section& section = sections_[index];
        // Lines after insertAfter are blank, so this is file order.
        for (std::size_t i = section.first; i < section.end; ++i)
            if (matches(lines_[i])) return &lines_[i];
        for (const Line& line : section.added)
            if (matches(line)) return &line;
    }
    return nullptr;
}

std::string IniText::read(std::string_view section, std::string_view key,
                          std::string_view def) const {
    const Line* line = findKey(lowerName(section), lowerName(key));
    if (!line) return std::string(def);
    std::string_view content = line->content();
    std::string_view value = trimmed(content.substr(content.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, kMaxValueLength));
}

IniText::Line IniText::makeLine(std::string content) {
    store_.push_back(std::move(content));
    std::string& text = store_.back();
    const std::size_t contentSize = text.size();
    text += eol_;
    return classify(text.data(), text.size(), contentSize);
}

void IniText::write(std::string_view section, std::string_view key, std::string_view value) {
    const std::string name = oneLine(section);
    const std::string lowerSection = lowerName(name);
    std::string content = oneLine(key) + "=" + oneLine(value);
    changed_ = dirty_ = true;

    if (const Line* found = findKey(lowerSection, lowerName(oneLine(key)))) {
        // this is not const here, so neither is the line.
        Line& line = const_cast<Line&>(*found);
        std::string text = content + std::string(line.text().substr(line.contentSize));
        store_.push_back(std::move(text));
        line = classify(store_.back().data(), store_.back().size(), content.size());
        return;
    }
    auto it = byName_.find(lowerSection);
    if (it != byName_.end()) {
        sections_[it->second.first].added.push_back(makeLine(std::move(content)));
        return;
    }
    Section added;
    added.lowerName = lowerSection;
    added.first = added.end = added.insertAfter = lines_.size();
    added.added.push_back(makeLine("[" + name + "]"));
    added.added.push_back(makeLine(std::move(content)));
    sections_.push_back(std::move(added));
    linkByName(sections_.size() - 1);
}

void IniText::eraseSection(std::string_view section) {
    auto it = byName_.find(lowerName(oneLine(section)));
    if (it == byName_.end()) return;
    for (std::size_t index = it->second.first; index != kNone;
         index = sections_[index].nextSameName)
        sections_[index].erased = true;
    byName_.erase(it);
    changed_ = dirty_ = true;
}

void IniText::rebuild() const {
    cache_.clear();
    cache_.reserve(original_->size() + 1024);
    bool open = false; // the last line put out has no line ending
    auto put = [&](const Line& line) {
        if (open) cache_ += eol_;
        cache_.append(line.data, line.size);
        open = line.size == line.contentSize;
    };
    for (std::size_t i = 0; i < preambleEnd_; ++i)
        put(lines_[i]);
    for (const Section& section : sections_) {
        if (section.erased) continue;
        if (section.first == section.end) {
            for (const Line& line : section.added)
                put(line);
            continue;
        }
        for (std::size_t i = section.first; i <= section.insertAfter; ++i)
            put(lines_[i]);
        for (const Line& line : section.added)
            put(line);
        for (std::size_t i = section.insertAfter + 1; i < section.end; ++i)
            put(lines_[i]);
    }
    dirty_ = false;
}

const std::string& IniText::bytes() const {
    if (!changed_) return *original_;
    if (dirty_) rebuild();
    return cache_;
}

} // namespace qe
