#include "json.h"

#include <cassert>
#include <cstdint>

namespace qe::json {
namespace {

// Deeper documents are refused, so hostile input cannot exhaust the stack.
constexpr int kMaxDepth = 100;

// The length of the well-formed UTF-8 sequence at s[pos] (no overlong form, no
// surrogate, nothing above U+10FFFF), 0 when there is none.
std::size_t utf8Length(std::string_view s, std::size_t pos) {
    const auto byte = [&](std::size_t i) {
        return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u;
    };
    const unsigned lead = byte(pos);
    const auto cont = [&](std::size_t i, unsigned lo = 0x80, unsigned hi = 0xBF) {
        return byte(pos + i) >= lo && byte(pos + i) <= hi;
    };
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return cont(1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned lo = lead == 0xE0 ? 0xA0 : 0x80, hi = lead == 0xED ? 0x9F : 0xBF;
        return cont(1, lo, hi) && cont(2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned lo = lead == 0xF0 ? 0x90 : 0x80, hi = lead == 0xF4 ? 0x8F : 0xBF;
        return cont(1, lo, hi) && cont(2) && cont(3) ? 4 : 0;
    }
    return 0;
}

void appendUtf8(std::string& out, std::uint32_t code) {
    const auto put = [&](std::uint32_t bits) { out += static_cast<char>(bits); };
    if (code < 0x80) {
        put(code);
    } else if (code < 0x800) {
        put(0xC0 | (code >> 6));
        put(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        put(0xE0 | (code >> 12));
        put(0x80 | ((code >> 6) & 0x3F));
        put(0x80 | (code & 0x3F));
    } else {
        put(0xF0 | (code >> 18));
        put(0x80 | ((code >> 12) & 0x3F));
        put(0x80 | ((code >> 6) & 0x3F));
        put(0x80 | (code & 0x3F));
    }
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

// A recursive descent over the text, one function per production.
class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    Value document() {
        Value v = value(0);
        skipBlanks();
        if (pos_ < text_.size()) fail("unexpected text after the document");
        return v;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        std::size_t line = 1, column = 1;
        for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i) {
            const auto c = static_cast<unsigned char>(text_[i]);
            if (c == '\n') {
                ++line, column = 1;
            } else if ((c & 0xC0) != 0x80) {
                ++column; // one column per character, not per byte
            }
        }
        throw ParseError("line " + std::to_string(line) + ", column " + std::to_string(column) +
                         ": " + what);
    }

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }

    void skipBlanks() {
        while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r'))
            ++pos_;
    }

    void expect(char c) {
        skipBlanks();
        if (peek() != c) unexpected(std::string("'") + c + "'");
        ++pos_;
    }

    [[noreturn]] void unexpected(const std::string& wanted) const {
        if (atEnd()) fail("unexpected end of input, expected " + wanted);
        const auto c = static_cast<unsigned char>(peek());
        if (c < 0x20 || c >= 0x7F)
            fail("unexpected byte " + std::to_string(c) + ", expected " + wanted);
        fail(std::string("unexpected '") + peek() + "', expected " + wanted);
    }

    bool literal(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }

    Value value(int depth) {
        skipBlanks();
        Value v;
        if (peek() == '{' || peek() == '[') {
            if (depth >= kMaxDepth) fail("nested deeper than " + std::to_string(kMaxDepth));
            peek() == '{' ? object(v, depth + 1) : array(v, depth + 1);
        } else if (peek() == '"') {
            v.type_ = Value::Type::String;
            v.text_ = string();
        } else if (peek() == '-' || isDigit(peek())) {
            v.type_ = Value::Type::Number;
            v.text_ = number();
        } else if (literal("true")) {
            v.type_ = Value::Type::Bool;
            v.boolean_ = true;
        } else if (literal("false")) {
            v.type_ = Value::Type::Bool;
        } else if (!literal("null")) {
            unexpected("a value");
        }
        return v;
    }

    void object(Value& v, int depth) {
        v.type_ = Value::Type::Object;
        ++pos_;
        skipBlanks();
        if (peek() == '}') {
            ++pos_;
            return;
        }
        do {
            skipBlanks();
            if (peek() != '"') unexpected("a member name");
            std::string name = string();
            expect(':');
            v.members_.emplace_back(std::move(name), value(depth));
        } while (more('}'));
    }

    void array(Value& v, int depth) {
        v.type_ = Value::Type::Array;
        ++pos_;
        skipBlanks();
        if (peek() == ']') {
            ++pos_;
            return;
        }
        do {
            v.items_.push_back(value(depth));
        } while (more(']'));
    }

    // After a member or an item: true at ',', false at the closing bracket.
    bool more(char close) {
        skipBlanks();
        if (peek() == ',') return ++pos_, true;
        if (peek() == close) return ++pos_, false;
        unexpected(std::string("',' or '") + close + "'");
    }

    std::string number() {
        const std::size_t begin = pos_;
        if (peek() == '-') ++pos_;
        if (peek() == '0') {
            ++pos_;
        } else {
            digits();
        }
        if (peek() == '.') ++pos_, digits();
        if (peek() == 'e' || peek() == 'E') {
            ++pos_;
            if (peek() == '+' || peek() == '-') ++pos_;
            digits();
        }
        return std::string(text_.substr(begin, pos_ - begin));
    }

    void digits() {
        if (!isDigit(peek())) unexpected("a digit");
        while (isDigit(peek()))
            ++pos_;
    }

    std::string string() {
        std::string out;
        ++pos_; // the opening quote
        for (;;) {
            if (atEnd()) fail("unexpected end of input in a string");
            const auto c = static_cast<unsigned char>(peek());
            if (c == '"') break;
            if (c < 0x20) fail("control character " + std::to_string(c) + " in a string");
            if (c == '\\') {
                escape(out);
            } else {
                const std::size_t n = utf8Length(text_, pos_);
                if (n == 0) fail("invalid UTF-8");
                out.append(text_.substr(pos_, n));
                pos_ += n;
            }
        }
        ++pos_;
        return out;
    }

    void escape(std::string& out) {
        ++pos_;
        const char c = peek();
        static constexpr std::string_view kFrom = "\"\\/bfnrt", kTo = "\"\\/\b\f\n\r\t";
        if (const std::size_t i = kFrom.find(c); c != '\0' && i != std::string_view::npos) {
            out += kTo[i];
            ++pos_;
        } else if (c == 'u') {
            ++pos_;
            appendUtf8(out, codePoint());
        } else {
            fail("invalid escape in a string");
        }
    }

    // After "\u": one code point, from a surrogate pair when it takes two escapes.
    std::uint32_t codePoint() {
        const std::uint32_t first = hex4();
        if (first >= 0xDC00 && first <= 0xDFFF) fail("low surrogate without a high one");
        if (first < 0xD800 || first > 0xDBFF) return first;
        if (!literal("\\u")) fail("high surrogate without a low one");
        const std::uint32_t second = hex4();
        if (second < 0xDC00 || second > 0xDFFF) fail("high surrogate without a low one");
        return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
    }

    std::uint32_t hex4() {
        std::uint32_t code = 0;
        for (int i = 0; i < 4; ++i, ++pos_) {
            const char c = peek();
            const std::uint32_t digit = isDigit(c)               ? std::uint32_t(c - '0')
                                        : (c >= 'a' && c <= 'f') ? std::uint32_t(c - 'a' + 10)
                                        : (c >= 'A' && c <= 'F') ? std::uint32_t(c - 'A' + 10)
                                                                 : 16;
            if (digit == 16) fail("invalid \\u escape: four hexadecimal digits expected");
            code = code * 16 + digit;
        }
        return code;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

const Value* Value::find(std::string_view name) const {
    for (const Member& m : members_)
        if (m.first == name) return &m.second;
    return nullptr;
}

Value parse(std::string_view text) {
    return Parser(text).document();
}

void Writer::beginObject() {
    open('{');
}

void Writer::endObject() {
    close('}');
}

void Writer::beginArray() {
    open('[');
}

void Writer::endArray() {
    close(']');
}

void Writer::key(std::string_view name) {
    newItem();
    quoted(name);
    out_ += ": ";
    afterKey_ = true;
}

void Writer::string(std::string_view bytes) {
    beforeValue();
    quoted(bytes);
    afterValue();
}

void Writer::boolean(bool value) {
    beforeValue();
    out_ += value ? "true" : "false";
    afterValue();
}

void Writer::number(long long value) {
    beforeValue();
    out_ += std::to_string(value);
    afterValue();
}

void Writer::null() {
    beforeValue();
    out_ += "null";
    afterValue();
}

void Writer::open(char bracket) {
    beforeValue();
    out_ += bracket;
    open_.push_back(true);
}

// A value inside an object follows its key; inside an array it is a new item.
void Writer::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
    } else if (!open_.empty()) {
        newItem();
    }
}

// The comma after the previous item, then a new line indented to the level.
void Writer::newItem() {
    assert(!open_.empty() && "a key outside an object");
    if (!open_.back()) out_ += ',';
    open_.back() = false;
    indent(open_.size());
}

void Writer::afterValue() {
    if (open_.empty()) out_ += '\n'; // the end of a top-level document
}

void Writer::close(char bracket) {
    assert(!open_.empty() && "an end without a begin");
    const bool empty = open_.back();
    open_.pop_back();
    if (!empty) indent(open_.size());
    out_ += bracket;
    afterValue();
}

void Writer::indent(std::size_t level) {
    out_ += '\n';
    out_.append(2 * level, ' ');
}

// Valid UTF-8 as it is, any other byte as the Latin-1 character of its code.
void Writer::quoted(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    out_ += '"';
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const std::size_t n = utf8Length(bytes, i);
        if (c == '"' || c == '\\') {
            out_ += '\\';
            out_ += static_cast<char>(c);
        } else if (c < 0x20) {
            static constexpr std::string_view kShort = "\b\f\n\r\t", kLetter = "bfnrt";
            if (const std::size_t s = kShort.find(static_cast<char>(c));
                s != std::string_view::npos) {
                out_ += '\\';
                out_ += kLetter[s];
            } else {
                out_ += "\\u00";
                out_ += kHex[c >> 4];
                out_ += kHex[c & 0xF];
            }
        } else if (n > 0) {
            out_.append(bytes.substr(i, n));
            i += n;
            continue;
        } else {
            appendUtf8(out_, c);
        }
        ++i;
    }
    out_ += '"';
}

} // namespace qe::json
