#include "cli/json.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using qe::json::Value;

qe::json::Document written(const Value& v) {
    switch (v.type()) {
    case Value::Type::Null:
        return nullptr;
    case Value::Type::Bool:
        return v.boolean();
    case Value::Type::Number:
        return std::stoll(v.text());
    case Value::Type::String:
        return qe::json::text(v.text());
    case Value::Type::Array: {
        qe::json::Document array = qe::json::Document::array();
        for (const Value& item : v.items())
            array.push_back(written(item));
        return array;
    }
    case Value::Type::Object: {
        qe::json::Document object = qe::json::Document::object();
        for (const Value::Member& m : v.members())
            object[m.first] = written(m.second);
        return object;
    }
    }
    return nullptr;
}

std::string rewritten(std::string_view text) {
    return qe::json::dump(written(qe::json::parse(text)));
}

TEST(Json, ParsesAndWritesBack) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"null", "null\n"},
        {" \t\r\ntrue\n", "true\n"},
        {"[]", "[]\n"},
        {"{ }", "{}\n"},
        {"[1,-20,[],{}]", "[\n  1,\n  -20,\n  [],\n  {}\n]\n"},
        {R"({"a":{"b":[true,false,null]},"":"d"})",
         "{\n  \"a\": {\n    \"b\": [\n      true,\n      false,\n      null\n    ]\n  },\n"
         "  \"\": \"d\"\n}\n"},
        {R"("\"\\\/\b\f\n\r\t")", R"("\"\\/\b\f\n\r\t")"
                                  "\n"},
        {R"("\u0041\u00e9\u20AC\uD83D\uDE00")", "\"A\u00e9\u20ac\U0001F600\"\n"},
        {R"("\u0000\u001F\u007f")", "\"\\u0000\\u001f\x7f\"\n"},
        {"\"\u00e9\u20ac\U0001F600\"", "\"\u00e9\u20ac\U0001F600\"\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rewritten(c.in), c.out) << c.in;
        EXPECT_EQ(rewritten(c.out), c.out) << c.out;
    }
}

TEST(Json, KeepsNumbersAsWritten) {
    for (const char* number : {"0", "-0", "120", "-3.25", "1e5", "1E+5", "2.5e-3"}) {
        const Value v = qe::json::parse(number);
        EXPECT_EQ(v.type(), Value::Type::Number);
        EXPECT_EQ(v.text(), number);
    }
}

TEST(Json, FindsTheFirstMemberOfAName) {
    const Value v = qe::json::parse(R"({"a": 1, "b": 2, "a": 3})");
    ASSERT_NE(v.find("a"), nullptr);
    EXPECT_EQ(v.find("a")->text(), "1");
    EXPECT_EQ(v.find("c"), nullptr);
}

TEST(Json, RefusesWhatIsNotJson) {
    const std::string deep(101, '[');
    const struct {
        std::string in;
        const char* where; // the column is the library's
    } cases[] = {
        {"", "line 1, column "},
        {"[1,]", "line 1, column "},
        {"[1 2]", "line 1, column "},
        {R"({"a" 1})", "line 1, column "},
        {"{a:1}", "line 1, column "},
        {"{\"a\":1,}", "line 1, column "},
        {"01", "line 1, column "},
        {"1.", "line 1, column "},
        {"-", "line 1, column "},
        {".5", "line 1, column "},
        {"[1] x", "line 1, column "},
        {"tru", "line 1, column "},
        {"nulll", "line 1, column "},
        {"\"abc", "line 1, column "},
        {"\"a\tb\"", "line 1, column "},
        {R"("\x")", "line 1, column "},
        {R"("\u12G4")", "line 1, column "},
        {R"("\uD800")", "line 1, column "},
        {R"("\uD800\u0041")", "line 1, column "},
        {R"("\uDC00")", "line 1, column "},
        {"\"\xC3\x28\"", "line 1, column "},
        {"\"\xED\xA0\x80\"", "line 1, column "},
        {"\"\xC0\xAF\"", "line 1, column "},
        {"\"\xF4\x90\x80\x80\"", "line 1, column "},
        {"\"\u00e9\xFF\"", "line 1, column "},
        {"\xEF\xBB\xBF{}", "line 1, column "},
        {"[\n  1,\n  x]", "line 3, column "},
        {deep + std::string(101, ']'), "nested deeper than 100"},
    };
    for (const auto& c : cases) {
        try {
            qe::json::parse(c.in);
            ADD_FAILURE() << "parsed: " << c.in;
        } catch (const qe::json::ParseError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.where, 0), 0u) << c.in << " gave " << e.what();
        }
    }
    EXPECT_NO_THROW(qe::json::parse(std::string(100, '[') + std::string(100, ']')));
}

TEST(Json, WritesBytesThatAreNotUtf8AsLatin1) {
    const struct {
        const char* bytes;
        const char* json;
    } cases[] = {
        {"caf\xE9", "\"caf\u00e9\"\n"},
        {"caf\xC3\xA9", "\"caf\u00e9\"\n"},
        {"\xC0\xAF", "\"\u00c0\u00af\"\n"},           // overlong
        {"\xE2\x82", "\"\u00e2\u0082\"\n"},           // cut short
        {"\xED\xA0\x80", "\"\u00ed\u00a0\u0080\"\n"}, // a surrogate
        {"\xF4\x90\x80\x80", "\"\u00f4\u0090\u0080\u0080\"\n"},
        {"\xFF\n\x01", "\"\u00ff\\n\\u0001\"\n"},
    };
    for (const auto& c : cases) {
        const std::string out = qe::json::dump(qe::json::text(c.bytes));
        EXPECT_EQ(out, c.json) << c.bytes;
        EXPECT_NO_THROW(qe::json::parse(out));
    }
}

} // namespace
