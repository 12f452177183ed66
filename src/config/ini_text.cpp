#include "ini_text.h"

#include <algorithm>
#include <limits>

namespace qe {

namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::string_view kBom = "\xEF\xBB\xBF";
// The number of hash groups in the header index: a power of two, at most 256, and
// at most one for each 64 bytes of text.
std::size_t hashGroups(std::size_t textSize) {
    std::size_t groups = 1;
    while (groups < 256 && groups * 2 * 64 <= textSize)
        groups *= 2;
    return groups;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isBreak(char c) {
    return c == '\n' || c == '\r';
}

// s without the blanks at either end.
std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// c in lower case when it is an ASCII letter, else c: the one place names are folded.
char lowerChar(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether two names match without regard to the case of ASCII letters.
bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerChar(a[i]) != lowerChar(b[i])) return false;
    return true;
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
std::string oneLine(std::string_view s) {
    std::string line(s);
    std::replace_if(line.begin(), line.end(), isBreak, ' ');
    return line;
}

// The content of the line that starts at pos, without its line ending.
std::string_view lineAt(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (end < text.size() && !isBreak(text[end]))
        ++end;
    return text.substr(pos, end - pos);
}

// Where the line after the one that starts at pos starts; text.size() after the last.
std::size_t lineAfter(std::string_view text, std::size_t pos) {
    const std::size_t end = pos + lineAt(text, pos).size();
    if (end == text.size()) return end;
    return end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
}

// Whether the line is a header, and then its section name.
bool headerName(std::string_view content, std::string_view& name) {
    const std::string_view line = trimmed(content);
    const std::size_t close = line.find(']');
    if (line.empty() || line.front() != '[' || close == npos) return false;
    name = trimmed(line.substr(1, close - 1));
    return true;
}

// The key name of a key line; empty for any other line.
std::string_view keyName(std::string_view content) {
    const std::string_view line = trimmed(content);
    const std::size_t equals = line.find('=');
    if (line.empty() || line.front() == ';' || line.front() == '#' || line.front() == '[' ||
        equals == npos)
        return {};
    return trimmed(line.substr(0, equals));
}

bool isKeyLine(std::string_view content, std::string_view key) {
    const std::string_view name = keyName(content);
    return !name.empty() && sameName(name, key);
}

// Where the "]" of the header line that starts at pos stands, with its section name;
// npos when the line is no header.
std::size_t headerAt(std::string_view text, std::size_t pos, std::string_view& name) {
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    if (pos == text.size() || text[pos] != '[') return npos;
    std::size_t close = pos + 1;
    while (close < text.size() && text[close] != ']' && !isBreak(text[close]))
        ++close;
    if (close == text.size() || text[close] != ']') return npos;
    name = trimmed(text.substr(pos + 1, close - pos - 1));
    return close;
}

// Where the first header line at or after pos (a line start) starts, and its name;
// npos when there is none. Moves pos to the line after it. Only lines with a "["
// are looked at, so a file of other lines costs one memchr.
std::size_t nextHeader(std::string_view text, std::size_t& pos, std::string_view& name) {
    for (std::size_t open = text.find('[', pos); open != npos; open = text.find('[', open + 1)) {
        std::size_t begin = open;
        while (begin > pos && isBlank(text[begin - 1]))
            --begin;
        if (begin > pos && !isBreak(text[begin - 1])) continue;
        const std::size_t close = headerAt(text, begin, name);
        if (close == npos) continue;
        pos = lineAfter(text, close);
        return begin;
    }
    return npos;
}

// Where the section whose header line starts at header ends: at the next header
// line, or at the end of the text.
std::size_t sectionEnd(std::string_view text, std::size_t header) {
    std::size_t pos = lineAfter(text, header);
    std::string_view name;
    return std::min(nextHeader(text, pos, name), text.size());
}

// The value of a key line as a read returns it.
std::string valueOf(std::string_view content) {
    std::string_view value = trimmed(content.substr(content.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value.substr(0, IniText::kMaxValueLength));
}

} // namespace

std::string lowerName(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), lowerChar);
    return lower;
}

std::vector<IniLine> iniLines(std::string_view text) {
    std::vector<IniLine> lines;
    std::string_view section;
    const std::size_t start = text.compare(0, kBom.size(), kBom) == 0 ? kBom.size() : 0;
    for (std::size_t pos = start; pos < text.size(); pos = lineAfter(text, pos)) {
        const std::string_view content = lineAt(text, pos), first = trimmed(content);
        IniLine line{lines.size() + 1, IniLine::Kind::Other, section, {}, content, {}};
        if (headerName(content, line.name)) {
            line.kind = IniLine::Kind::Header;
            section = line.section = line.name;
        } else if (first.empty()) {
            line.kind = IniLine::Kind::Blank;
        } else if (first.front() == ';' || first.front() == '#') {
            line.kind = IniLine::Kind::Comment;
        } else if (!(line.name = keyName(content)).empty()) {
            line.kind = IniLine::Kind::Key;
            line.value = trimmed(content.substr(content.find('=') + 1));
        }
        lines.push_back(line);
    }
    return lines;
}

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
            headers_[nameHash(name) & (headers_.size() - 1)].push_back(static_cast<std::uint32_t>(h));
    }
    return headers_[nameHash(section) & (headers_.size() - 1)];
}

std::vector<std::size_t> IniText::sectionsNamed(std::string_view section) const {
    std::vector<std::size_t> found;
    std::string_view name;
    if (isErased(section)) return found;
    if (data_.size() > std::numeric_limits<std::uint32_t>::max()) {
        for (std::size_t pos = bodyStart_, h; (h = nextHeader(data_, pos, name)) != npos;)
            if (sameName(name, section)) found.push_back(h);
        return found;
    }
    for (const std::uint32_t header : headersNamedLike(section))
        if (headerAt(data_, header, name) != npos && sameName(name, section))
            found.push_back(header);
    return found;
}

std::size_t IniText::keyLineIn(std::size_t header, std::string_view key) const {
    const std::size_t end = sectionEnd(data_, header);
    for (std::size_t pos = lineAfter(data_, header); pos < end; pos = lineAfter(data_, pos))
        if (isKeyLine(lineAt(data_, pos), key)) return pos;
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
    const std::vector<std::size_t> headers = sectionsNamed(section);
    for (std::size_t i = 0; i < headers.size(); ++i) {
        if ((found.at = keyLineIn(headers[i], key)) != npos) return found;
        if (i == 0 && (found.line = addedKeyLine(found.addition, key)) != npos) return found;
    }
    if (headers.empty()) found.line = addedKeyLine(found.addition, key);
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
    const std::size_t end = sectionEnd(data_, header);
    std::size_t point = lineAfter(data_, header);
    for (std::size_t pos = point; pos < end; pos = lineAfter(data_, pos))
        if (!trimmed(lineAt(data_, pos)).empty()) point = lineAfter(data_, pos);
    return point;
}

void IniText::write(std::string_view section, std::string_view key, std::string_view value) {
    const std::string name = oneLine(section), keyText = oneLine(key);
    std::string content = keyText + "=" + oneLine(value);
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
        const std::vector<std::size_t> headers = sectionsNamed(name);
        Addition added{name, headers.empty() ? npos : insertionPoint(headers.front()), {}};
        if (headers.empty()) added.lines.push_back("[" + name + "]");
        added.lines.push_back(std::move(content));
        const auto place =
            std::upper_bound(additions_.begin(), additions_.end(), added.at,
                             [](std::size_t at, const Addition& a) { return at < a.at; });
        additions_.insert(place, std::move(added));
    }
}

void IniText::eraseSection(std::string_view section) {
    const std::string name = oneLine(section);
    const bool inText = !sectionsNamed(name).empty();
    if (inText) erased_.push_back(name);
    const std::size_t a = additionFor(name);
    if (a != npos) additions_.erase(additions_.begin() + static_cast<std::ptrdiff_t>(a));
    if (inText || a != npos) {
        changed_ = true;
        resultReady_ = false;
    }
}

// The header offsets of the erased sections' parts, in file order.
std::vector<std::size_t> IniText::erasedHeaders() const {
    std::vector<std::size_t> headers;
    std::string_view name;
    if (erased_.empty()) return headers;
    for (std::size_t pos = bodyStart_, h; (h = nextHeader(data_, pos, name)) != npos;)
        if (isErased(name)) headers.push_back(h);
    return headers;
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
    for (const std::size_t header : erasedHeaders()) {
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
