// JSON for quenbyconf, through nlohmann-json: the request of `apply` read into a
// small tree that keeps what a request means to us (numbers as written, every
// member in order), and the answers of --json written from nlohmann's ordered
// documents.
#pragma once

#include <nlohmann/json.hpp>

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
    friend class TreeBuilder;
    Type type_ = Type::Null;
    bool boolean_ = false;
    std::string text_;
    std::vector<Value> items_;
    std::vector<Member> members_;
};

// Deeper documents are refused, so that hostile input cannot exhaust the stack of
// the code that walks the tree.
inline constexpr int kMaxDepth = 100;

// Parses one JSON document (RFC 8259, no byte order mark); throws ParseError
// naming the line and the column of the first fault, or the depth.
Value parse(std::string_view text);

// A document being written: members in the order they are added.
using Document = nlohmann::ordered_json;

// A string of bytes as a JSON string: valid UTF-8 as it is, any other byte as the
// Latin-1 character of that code.
Document text(std::string_view bytes);

// The document indented by two spaces a level, with a final line break.
std::string dump(const Document& document);

} // namespace qe::json
