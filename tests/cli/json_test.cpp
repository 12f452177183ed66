#include "cli/json.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using qe::json::Value;

void write(qe::json::Writer& w, const Value& v) {
    switch (v.type()) {
    case Value::Type::Null:
        return w.null();
    case Value::Type::Bool:
        return w.boolean(v.boolean());
    case Value::Type::Number:
        return w.number(std::stoll(v.text()));
    case Value::Type::String:
        return w.string(v.text());
    case Value::Type::Array:
        w.beginArray();
        for (const Value& item : v.items())
            write(w, item);
        return w.endArray();
    case Value::Type::Object:
        w.beginObject();
        for (const Value::Member& m : v.members()) {
            w.key(m.first);
            write(w, m.second);
        }
        return w.endObject();
    }
}

std::string rewritten(std::string_view text) {
    std::string out;
    qe::json::Writer w(out);
    write(w, qe::json::parse(text));
    return out;
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
        const char* where;
    } cases[] = {
        {"", "line 1, column 1"},
        {"[1,]", "line 1, column 4"},
        {"[1 2]", "line 1, column 4"},
        {R"({"a" 1})", "line 1, column 6"},
        {"{a:1}", "line 1, column 2"},
        {"{\"a\":1,}", "line 1, column 8"},
        {"01", "line 1, column 2"},
        {"1.", "line 1, column 3"},
        {"-", "line 1, column 2"},
        {".5", "line 1, column 1"},
        {"[1] x", "line 1, column 5"},
        {"tru", "line 1, column 1"},
        {"nulll", "line 1, column 5"},
        {"\"abc", "line 1, column 5"},
        {"\"a\tb\"", "line 1, column 3"},
        {R"("\x")", "line 1, column 3"},
        {R"("\u12G4")", "line 1, column 6"},
        {R"("\uD800")", "line 1, column 8"},
        {R"("\uD800\u0041")", "line 1, column 14"},
        {R"("\uDC00")", "line 1, column 8"},
        {"\"\xC3\x28\"", "line 1, column 2"},
        {"\"\xED\xA0\x80\"", "line 1, column 2"},
        {"\"\xC0\xAF\"", "line 1, column 2"},
        {"\"\xF4\x90\x80\x80\"", "line 1, column 2"},
        {"\"\u00e9\xFF\"", "line 1, column 3"},
        {"\xEF\xBB\xBF{}", "line 1, column 1"},
        {"[\n  1,\n  x]", "line 3, column 3"},
        {deep + std::string(101, ']'), "line 1, column 101"},
    };
    for (const auto& c : cases) {
        try {
            qe::json::parse(c.in);
            ADD_FAILURE() << "parsed: " << c.in;
        } catch (const qe::json::ParseError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(std::string(c.where) + ": ", 0), 0u)
                << c.in << " gave " << e.what();
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
        std::string out;
        qe::json::Writer(out).string(c.bytes);
        EXPECT_EQ(out, c.json) << c.bytes;
        EXPECT_NO_THROW(qe::json::parse(out));
    }
}

} // namespace
