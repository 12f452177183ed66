#include "ini_text.h"

#include "ini_syntax.h"

#include <algorithm>
#include <limits>

namespace qe {

using namespace ini;

namespace {

// The index group of a section name: from its length and its last eight bytes,
// where names mostly differ, each with bit 5 set, which folds ASCII letter case, so
// that names that match fall in the same group.
std::size_t groupNumber(std::string_view name) {
    std::size_t hash = name.size();
    for (std::size_t i = name.size() > 8 ? name.size() - 8 : 0; i < name.size(); ++i)
        hash = hash * 31 + (static_cast<unsigned char>(name[i]) | 0x20u);
    return hash % IniText::kGroups;
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

// Whether content is a key line of key.
bool isKeyLine(std::string_view content, std::string_view key) {
    const std::string_view name = keyName(content);
    return !name.empty() && sameName(name, key);
}

// The value of a key line as a read returns it.
std::string valueOf(std::string_view content) {
    return std::string(unquoted(keyValue(content)).substr(0, IniText::kMaxValueLength));
}

} // namespace

bool IniText::KeyLine::found() const {
    return at != npos || line != npos;
}

IniText::IniText(std::string bytes) : data_(std::move(bytes)) {
    if (data_.compare(0, kBom.size(), kBom) == 0) bodyStart_ = kBom.size();
    const std::size_t last = data_.find_last_of("\r\n");
    if (last != npos)
        eol_ = data_[last] == '\r' ? "\r" : last > 0 && data_[last - 1] == '\r' ? "\r\n" : "\n";
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

const std::vector<std::uint32_t>& IniText::groupOf(std::string_view section) const {
    if (groups_.empty()) {
        // Room for a header every 128 bytes, so that few groups grow; room that is
        // never used takes no memory.
        groups_.resize(kGroups);
        for (std::vector<std::uint32_t>& group : groups_)
            group.reserve(data_.size() / 128 / kGroups);
        std::string_view name;
        for (std::size_t pos = bodyStart_, h; (h = nextHeader(data_, pos, name)) != npos;)
            groups_[groupNumber(name)].push_back(static_cast<std::uint32_t>(h));
    }
    return groups_[groupNumber(section)];
}

std::vector<std::size_t> IniText::headersOf(std::string_view section) const {
    std::vector<std::size_t> headers;
    std::string_view name;
    if (data_.size() > std::numeric_limits<std::uint32_t>::max()) {
        for (std::size_t pos = bodyStart_, h; (h = nextHeader(data_, pos, name)) != npos;)
            if (sameName(name, section)) headers.push_back(h);
        return headers;
    }
    for (const std::uint32_t h : groupOf(section))
        if (headerAt(data_, h, name) != npos && sameName(name, section)) headers.push_back(h);
    return headers;
}

std::size_t IniText::firstSection(std::string_view section) const {
    const std::vector<std::size_t> headers = headersOf(section);
    return headers.empty() || isErased(section) ? npos : headers.front();
}

// Goes through the section's lines once, up to the next header line.
std::size_t IniText::keyLineIn(std::size_t header, std::string_view key) const {
    for (std::size_t pos = lineAfter(data_, header); pos < data_.size();) {
        const IniLine line = iniLineAt(data_, pos);
        if (line.kind == IniLine::Kind::Header) return npos;
        if (line.kind == IniLine::Kind::Key && sameName(line.name, key)) return pos;
        pos = lineAfter(data_, line.content);
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
    const std::vector<std::size_t> headers = headersOf(section);
    if (headers.empty() || isErased(section)) {
        found.line = addedKeyLine(found.addition, key);
        return found;
    }
    for (std::size_t i = 0; i < headers.size() && !found.found(); ++i) {
        found.at = keyLineIn(headers[i], key);
        if (i == 0 && found.at == npos) found.line = addedKeyLine(found.addition, key);
    }
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

bool IniText::has(std::string_view section, std::string_view key) const {
    return findKey(section, key).found();
}

// After the last non-blank line of the section, so that blank lines before the next
// header stay there.
std::size_t IniText::insertionPoint(std::size_t header) const {
    std::size_t point = lineAfter(data_, header);
    for (std::size_t pos = point; pos < data_.size();) {
        const IniLine line = iniLineAt(data_, pos);
        if (line.kind == IniLine::Kind::Header) break;
        pos = lineAfter(data_, line.content);
        if (line.kind != IniLine::Kind::Blank) point = pos;
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

// The text's bytes in order, less the erased sections, each replaced line's new
// content in place of its old one and the added lines where they go, then the new
// sections. A line put after the text's last line, which has no ending, gives that
// line the file's ending first.
std::string IniText::edited() const {
    std::size_t bound = data_.size() + eol_.size();
    for (const auto& [at, content] : replaced_)
        bound += content.size();
    for (const Addition& added : additions_)
        for (const std::string& line : added.lines)
            bound += line.size() + eol_.size();
    std::string out;
    out.reserve(bound);

    std::size_t pos = 0; // where the copy of the text stands
    auto replaced = replaced_.begin();
    auto added = additions_.begin();
    const auto putLine = [&](std::string_view line) {
        if (out.size() > bodyStart_ && !isBreak(out.back())) out += eol_;
        out.append(line).append(eol_);
    };
    // Copies the text up to `to`, with the edits before it.
    const auto copyTo = [&](std::size_t to) {
        for (;;) {
            const std::size_t replacedAt = replaced == replaced_.end() ? npos : replaced->first;
            const std::size_t addedAt = added == additions_.end() ? npos : added->at;
            if (replacedAt < to && replacedAt < addedAt) {
                out.append(data_, pos, replacedAt - pos).append(replaced->second);
                pos = replacedAt + lineAt(data_, replacedAt).size();
                ++replaced;
            } else if (addedAt <= to && addedAt != npos) {
                out.append(data_, pos, addedAt - pos);
                pos = addedAt;
                for (const std::string& line : (added++)->lines)
                    putLine(line);
            } else {
                break;
            }
        }
        out.append(data_, pos, to - pos);
        pos = to;
    };

    std::string_view name;
    for (std::size_t next = bodyStart_, header;
         !erased_.empty() && (header = nextHeader(data_, next, name)) != npos;) {
        if (!isErased(name)) continue;
        copyTo(header);
        pos = sectionEnd(data_, header);
        while (replaced != replaced_.end() && replaced->first < pos)
            ++replaced;
    }
    copyTo(data_.size());
    for (; added != additions_.end(); ++added)
        for (const std::string& line : added->lines)
            putLine(line);
    return out;
}

const std::string& IniText::bytes() const {
    if (!changed_) return data_;
    if (!resultReady_) {
        result_ = edited();
        resultReady_ = true;
    }
    return result_;
}

} // namespace qe
