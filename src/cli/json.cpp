#include "json.h"

#include <utf8.h>

#include <iterator>

namespace qe::json {

// Builds a Value from nlohmann's parse events. Numbers keep the text they were
// written with: a float arrives with it; an integer is the only text its value
// has, except -0, the one negative integer whose value is 0.
class TreeBuilder final : public nlohmann::json_sax<nlohmann::json> {
public:
    Value take() { return std::move(root_); }

    bool null() override {
        place();
        return true;
    }
    bool boolean(bool value) override {
        Value& v = place(Value::Type::Bool);
        v.boolean_ = value;
        return true;
    }
    bool number_integer(number_integer_t value) override {
        place(Value::Type::Number).text_ = value == 0 ? "-0" : std::to_string(value);
        return true;
    }
    bool number_unsigned(number_unsigned_t value) override {
        place(Value::Type::Number).text_ = std::to_string(value);
        return true;
    }
    bool number_float(number_float_t, const string_t& written) override {
        place(Value::Type::Number).text_ = written;
        return true;
    }
    bool string(string_t& value) override {
        place(Value::Type::String).text_ = std::move(value);
        return true;
    }
    bool binary(binary_t&) override { return false; } // JSON text holds none
    bool start_object(std::size_t) override { return open(Value::Type::Object); }
    bool key(string_t& name) override {
        key_ = std::move(name);
        return true;
    }
    bool end_object() override { return close(); }
    bool start_array(std::size_t) override { return open(Value::Type::Array); }
    bool end_array() override { return close(); }

    bool parse_error(std::size_t, const std::string&,
                     const nlohmann::detail::exception& e) override {
        // "[json.exception.parse_error.101] parse error at line 1, column 4: ..."
        const std::string what = e.what();
        const std::size_t at = what.find("line ");
        throw ParseError(at == std::string::npos ? what : what.substr(at));
    }

private:
    // The value the event is about: the document, the next item of the array or
    // the member of the key just read.
    Value& place(Value::Type type = Value::Type::Null) {
        Value* v = &root_;
        if (!open_.empty()) {
            Value& parent = *open_.back();
            if (parent.type_ == Value::Type::Array) {
                v = &parent.items_.emplace_back();
            } else {
                v = &parent.members_.emplace_back(std::move(key_), Value{}).second;
            }
        }
        v->type_ = type;
        return *v;
    }

    bool open(Value::Type type) {
        if (static_cast<int>(open_.size()) >= kMaxDepth)
            throw ParseError("nested deeper than " + std::to_string(kMaxDepth));
        open_.push_back(&place(type));
        return true;
    }

    bool close() {
        open_.pop_back();
        return true;
    }

    Value root_;
    std::vector<Value*> open_; // the arrays and objects begun and not ended
    std::string key_;
};

const Value* Value::find(std::string_view name) const {
    for (const Member& m : members_)
        if (m.first == name) return &m.second;
    return nullptr;
}

Value parse(std::string_view text) {
    // nlohmann skips a byte order mark; a request never starts with one.
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        throw ParseError("line 1, column 1: a byte order mark before the document");
    TreeBuilder builder;
    nlohmann::json::sax_parse(text.begin(), text.end(), &builder);
    return builder.take();
}

Document text(std::string_view bytes) {
    std::string out;
    for (auto from = bytes.begin();;) {
        const auto bad = utf8::find_invalid(from, bytes.end());
        out.append(from, bad);
        if (bad == bytes.end()) return out;
        utf8::append(static_cast<unsigned char>(*bad), std::back_inserter(out));
        from = bad + 1;
    }
}

std::string dump(const Document& document) {
    return document.dump(2) + "\n";
}

} // namespace qe::json
