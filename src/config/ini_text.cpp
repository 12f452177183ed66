#include "ini_text.h"

#include "ini_syntax.h"

#include <algorithm>
#include <limits>

namespace qe {

using namespace ini;

namespace {

// The number of hash groups in the header index: a power of two, at most 256, and
// at most one for each 64 bytes of text.
std::size_t hashGroups(std::size_t textSize) {
    std::size_t groups = 1;
    while (groups < 256 && groups * 2 * 64 <= textSize)
        groups *= 2;
    return groups;
}

// A number from 0 to 255 that is the same for names that match: from the length
// and the last eight bytes, each with bit 5 set, which folds ASCII letter case.
std::size_t nameHash(std::string_view name) {
    std::uint64_t bits = name.size();
    for (std::size_t i = name.size() > 8 ? name.size() - 8 : 0; i < name.size(); ++i)
        bits = bits << 8 ^ (static_cast<unsigned char>(name[i]) | 0x20u);
    return static_cast<std::size_t>(bits * 0x9E3779B97F4A7C15u >> 56);
}

// s with every CR and LF as a space.
std::string oneLine(std::string s) {
    std::replace_if(s.begin(), s.end(), isBreak, ' ');
    return s;
}

// The line "key=value", in one line.
std::string keyLine(std::string_view key, std::string_view value) {
    std::string line;
    line.reserve(key.size() + 1 + value.size());
    return oneLine(line.append(key).append(1, '=').append(value));
}

bool isKeyLine(std::string_view content, std::string_view key) {
    const std::string_view name = keyName(content);
    return !name.empty() && sameName(name, key);
}

// The value of a key line as a read returns it.
std::string valueOf(std::string_view content) {
    return std::string(unquoted(keyValue(content)).substr(0, IniText::kMaxValueLength));
}

} // namespace

IniText::IniText(std::string bytes) : data_(std::move(bytes)) {
    if (data_.compare(0, kBom.size(), kBom) == 0) bodyStart_ = kBom.size();
    const std::size_t last = data_.find_last_of("\r\n");
    if (last != npos)
        eol_ = data_[last] == '\r' ? "\r" : last > 0 && data_[last - 1] == '\r' ? "\r\n" : "\n";
    lastLineOpen_ = data_.size() > bodyStart_ && !isBreak(data_.back());
}

bool IniText::isErased(std::string_view section) const {
    return std::any_of(erased_.begin(), erased_.end(),
                       [&](const std::string& name) { return sameName(name, section); });
}

std::size_t IniText::additionFor(std::string_view section) const {
    for (std::size_t i = 0; i < additions_.size(); ++i)
        if (sameName(additions_[i].name, section)) return i;
    return npos;
}

const std::vector<std::uint32_t>& IniText::headersNamedLike(std::string_view section) const {
    if (headers_.empty()) {
        // Capacity that a vector has not touched yet takes no memory, so the index
        // takes four bytes a header.
        headers_.resize(hashGroups(data_.size()));
        for (std::vector<std::uint32_t>& group : headers_)
            group.reserve(data_.size() / 128 / headers_.size());
        std::string_view name;
        for (std::size_t pos = bodyStart_, h; (h = nextHeader(data_, pos, name)) != npos;)
            headers_[nameHash(name) & (headers_.size() - 1)].push_back(
                static_cast<std::uint32_t>(h));
    }
    return headers_[nameHash(section) & (headers_.size() - 1)];
}

// Calls visit(header offset) for each section of that name that is not erased, in
// file order, until visit returns true.
template <typename Visit> void IniText::forSections(std::string_view section, Visit visit) const {
    std::string_view name;
    if (isErased(section)) return;
    if (data_.size() > std::numeric_limits<std::uint32_t>::max()) {
        for (std::size_t pos = bodyStart_, h; (h = nextHeader(data_, pos, name)) != npos;)
            if (sameName(name, section) && visit(h)) return;
        return;
    }
    for (const std::uint32_t header : headersNamedLike(section))
        if (headerAt(data_, header, name) != npos && sameName(name, section) && visit(header))
            return;
}

std::size_t IniText::firstSection(std::string_view section) const {
    std::size_t first = npos;
    forSections(section, [&](std::size_t header) {
        first = header;
        return true;
    });
    return first;
}

// Goes through the section's lines once, up to the next header line.
std::size_t IniText::keyLineIn(std::size_t header, std::string_view key) const {
    std::string_view name;
    for (std::size_t pos = lineAfter(data_, header); pos < data_.size();) {
        const std::string_view line = lineAt(data_, pos);
        if (headerAt(data_, pos, name) != npos) return npos;
        if (isKeyLine(line, key)) return pos;
        pos = lineAfter(data_, line);
    }
    return npos;
}

std::size_t IniText::addedKeyLine(std::size_t addition, std::string_view key) const {
    if (addition == npos) return npos;
    const std::vector<std::string>& lines = additions_[addition].lines;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (isKeyLine(lines[i], key)) return i;
    return npos;
}

// The first section's own lines, then the lines added to it, then the other
// sections of that name in file order.
IniText::KeyLine IniText::findKey(std::string_view section, std::string_view key) const {
    KeyLine found{npos, npos, additionFor(section)};
    bool first = true;
    forSections(section, [&](std::size_t header) {
        found.at = keyLineIn(header, key);
        if (found.at == npos && first) found.line = addedKeyLine(found.addition, key);
        first = false;
        return found.at != npos || found.line != npos;
    });
    if (first) found.line = addedKeyLine(found.addition, key);
    return found;
}

std::string IniText::read(std::string_view section, std::string_view key,
                          std::string_view def) const {
    const KeyLine found = findKey(section, key);
    if (found.line != npos) return valueOf(additions_[found.addition].lines[found.line]);
    if (found.at == npos) return std::string(def);
    const auto it = replaced_.find(found.at);
    return valueOf(it == replaced_.end() ? lineAt(data_, found.at) : std::string_view(it->second));
}

// After the last non-blank line of the section, so that blank lines before the next
// header stay there.
std::size_t IniText::insertionPoint(std::size_t header) const {
    std::string_view name;
    std::size_t point = lineAfter(data_, header);
    for (std::size_t pos = point; pos < data_.size() && headerAt(data_, pos, name) == npos;) {
        const std::string_view line = lineAt(data_, pos);
        pos = lineAfter(data_, line);
        if (!trimmed(line).empty()) point = pos;
    }
    return point;
}

void IniText::write(std::string_view section, std::string_view key, std::string_view value) {
    const std::string name = oneLine(std::string(section));
    std::string content = keyLine(key, value);
    const std::string_view keyText = std::string_view(content).substr(0, key.size());
    changed_ = true;
    resultReady_ = false;

    // A replaced line keeps its key name, so the text's own line decides.
    const KeyLine found = findKey(name, keyText);
    if (found.at != npos) {
        replaced_[found.at] = std::move(content);
    } else if (found.line != npos) {
        additions_[found.addition].lines[found.line] = std::move(content);
    } else if (found.addition != npos) {
        additions_[found.addition].lines.push_back(std::move(content));
    } else {
        const std::size_t first = firstSection(name);
        Addition added{name, first == npos ? npos : insertionPoint(first), {}};
        if (first == npos) added.lines.push_back("[" + name + "]");
        added.lines.push_back(std::move(content));
        const auto place =
            std::upper_bound(additions_.begin(), additions_.end(), added.at,
                             [](std::size_t at, const Addition& a) { return at < a.at; });
        additions_.insert(place, std::move(added));
    }
}

void IniText::eraseSection(std::string_view section) {
    const std::string name = oneLine(std::string(section));
    const bool inText = firstSection(name) != npos;
    if (inText) erased_.push_back(name);
    const std::size_t a = additionFor(name);
    if (a != npos) additions_.erase(additions_.begin() + static_cast<std::ptrdiff_t>(a));
    if (inText || a != npos) {
        changed_ = true;
        resultReady_ = false;
    }
}

// The text from where the last piece ended up to `to`, with the replaced lines and
// the added lines before it in place.
template <typename Sink> void IniText::Output<Sink>::copyTo(std::size_t to) {
    for (;;) {
        const bool replace = replaced != text.replaced_.end() && replaced->first < to;
        const bool add = added != text.additions_.end() && added->at <= to;
        if (replace && (!add || replaced->first < added->at)) {
            copyBytes(replaced->first);
            sink(replaced->second);
            pos += lineAt(text.data_, pos).size();
            open = text.lastLineOpen_ && pos == text.data_.size();
            ++replaced;
        } else if (add) {
            copyBytes(added->at);
            for (const std::string& line : (added++)->lines)
                putLine(line);
        } else {
            break;
        }
    }
    copyBytes(to);
}

template <typename Sink> void IniText::Output<Sink>::copyBytes(std::size_t to) {
    if (to <= pos) return;
    sink(std::string_view(text.data_).substr(pos, to - pos));
    pos = to;
    open = text.lastLineOpen_ && to == text.data_.size();
}

// A written line with the file's ending; the text's last line, put out without an
// ending, gets one first.
template <typename Sink> void IniText::Output<Sink>::putLine(std::string_view content) {
    if (open) sink(text.eol_);
    sink(content);
    sink(text.eol_);
    open = false;
}

// The text without its erased sections, each replaced and added line in place, then
// the new sections.
template <typename Sink> void IniText::produce(Sink& sink) const {
    Output<Sink> out{*this, sink, 0, false, replaced_.begin(), additions_.begin()};
    std::string_view name;
    for (std::size_t pos = bodyStart_, header;
         !erased_.empty() && (header = nextHeader(data_, pos, name)) != npos;) {
        if (!isErased(name)) continue;
        out.copyTo(header);
        out.pos = std::max(out.pos, sectionEnd(data_, header));
        while (out.replaced != replaced_.end() && out.replaced->first < out.pos)
            ++out.replaced;
    }
    out.copyTo(data_.size());
    for (; out.added != additions_.end(); ++out.added)
        for (const std::string& line : out.added->lines)
            out.putLine(line);
}

const std::string& IniText::bytes() const {
    if (!changed_) return data_;
    if (!resultReady_) {
        std::size_t size = 0;
        auto count = [&](std::string_view piece) { size += piece.size(); };
        produce(count);
        result_ = std::string();
        result_.reserve(size);
        auto append = [&](std::string_view piece) { result_.append(piece); };
        produce(append);
        resultReady_ = true;
    }
    return result_;
}

} // namespace qe
