// JSON for quenbyconf: a reader for the request of `apply` and a writer for the
// answer of --json.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qe::json {

class ParseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One value of a parsed document. A number keeps its text as written ("120", "1.5").
class Value {
public:
    enum class Type { Null, Bool, Number, String, Array, Object };
    using Member = std::pair<std::string, Value>;

    Type type() const { return type_; }
    bool boolean() const { return boolean_; }
    const std::string& text() const { return text_; } // String: its UTF-8; Number: as written
    const std::vector<Value>& items() const { return items_; }      // Array
    const std::vector<Member>& members() const { return members_; } // Object, in order
    // The member of that name (the first of several), nullptr when absent.
    const Value* find(std::string_view name) const;

private:
    friend class Parser;
    Type type_ = Type::Null;
    bool boolean_ = false;
    std::string text_;
    std::vector<Value> items_;
    std::vector<Member> members_;
};

// Parses one JSON document (RFC 8259); throws ParseError naming the line and the
// column of the first fault.
Value parse(std::string_view text);

// Writes one JSON document into out, indented by two spaces a level. Commas and
// nesting are the writer's business.
class Writer {
public:
    explicit Writer(std::string& out) : out_(out) {}
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view name); // inside an object, before each value
    // A string of bytes: valid UTF-8 as it is, any other byte as the Latin-1
    // character of that code.
    void string(std::string_view bytes);
    void boolean(bool value);
    void number(long long value);
    void null();

private:
    void open(char bracket);
    void beforeValue();
    void newItem();
    void afterValue();
    void close(char bracket);
    void indent(std::size_t level);
    void quoted(std::string_view bytes);

    std::string& out_;
    std::vector<bool> open_; // per array or object begun and not ended: still empty
    bool afterKey_ = false;
};

} // namespace qe::json
