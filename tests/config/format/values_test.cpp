#include "config/base64.h"
#include "config/conversions.h"
#include "config/credential.h"
#include "config/error.h"
#include "config/value_forms.h"
#include "error_message.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace qe;
using namespace qe::test;
using namespace std::string_literals;

namespace {

struct IntCase {
    const char* text;
    std::optional<int> expected;
};

const std::vector<IntCase> kIntCases = {
    {"0", 0},
    {"42", 42},
    {"+7", 7},
    {"-7", -7},
    {"   12", 12},
    {"007", 7},
    {"2147483647", 2147483647},
    {"-2147483648", -2147483647 - 1},
    {"2147483648", std::nullopt},
    {"-2147483649", std::nullopt},
    {"99999999999999999999", std::nullopt},
    {"$10", 16},
    {"x1f", 31},
    {"X1F", 31},
    {"0x7fffffff", 2147483647},
    {"0XFF", 255},
    {"$FFFFFFFF", -1},
    {"$80000000", -2147483647 - 1},
    {"$100000000", std::nullopt},
    {"  $a", 10},
    {"-$1", std::nullopt},
    {"+0x1", std::nullopt},
    {"$", std::nullopt},
    {"0x", std::nullopt},
    {"$g", std::nullopt},
    {"", std::nullopt},
    {" ", std::nullopt},
    {"+", std::nullopt},
    {"-", std::nullopt},
    {"12 ", std::nullopt},
    {"1 2", std::nullopt},
    {"12abc", std::nullopt},
    {"1.5", std::nullopt},
    {"- 1", std::nullopt},
};

TEST(IntegerConversions, FollowTheValueRules) {
    for (const IntCase& c : kIntCases) {
        SCOPED_TRACE(std::string("text '") + c.text + "'");
        EXPECT_EQ(lenientInt(c.text, 12345), c.expected.value_or(12345));
        if (c.expected) {
            EXPECT_EQ(strictInt(c.text), *c.expected);
        } else {
            EXPECT_EQ(messageOf([&] { strictInt(c.text); }),
                      std::string("'") + c.text + "' is not a valid integer value");
        }
    }
}

TEST(IntegerConversions, MessageQuotesTheTextAsGiven) {
    EXPECT_EQ(messageOf([] { strictInt(""); }), "'' is not a valid integer value");
    EXPECT_EQ(messageOf([] { strictInt(" 1 x\x01y"); }),
              "' 1 x\x01y' is not a valid integer value");
}

struct Base64Case {
    std::string bytes;
    std::string encoded;
};

// RFC 4648, section 10.
const std::vector<Base64Case> kRfcVectors = {
    {"", ""},
    {"f", "Zg=="},
    {"fo", "Zm8="},
    {"foo", "Zm9v"},
    {"foob", "Zm9vYg=="},
    {"fooba", "Zm9vYmE="},
    {"foobar", "Zm9vYmFy"},
};

TEST(Base64, RfcVectorsBothWays) {
    for (const Base64Case& c : kRfcVectors) {
        EXPECT_EQ(base64Encode(c.bytes), c.encoded) << c.bytes;
        EXPECT_EQ(base64Decode(c.encoded), c.bytes) << c.encoded;
    }
}

TEST(Base64, DecodingForgivesLineBreaksAndPadding) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Zm9v\r\nYmFy\r\n", "foobar"},
        {"Z\rm\n9v", "foo"},
        {"Zm9vYg", "foob"},
        {"Zm9vYmE", "fooba"},
        {"Zg=====", "f"},
        {"Zg==\r\n", "f"},
        {"\r\n", ""},
        {"Zm9vY", "foo"}, // a lone last character holds no whole byte
        {"+/+/", "\xFB\xFF\xBF"},
    };
    for (const auto& [text, bytes] : cases)
        EXPECT_EQ(base64Decode(text), bytes) << text;
}

TEST(Base64, CharacterOutsideTheAlphabetStops) {
    for (std::string text : std::vector<std::string>{"Zm9v!", "Zm 9v", "Zg==Zg==", "-_", "Zm9v\t",
                                                     "\0"s, "Zm9v\xC3\xA9"}) {
        EXPECT_EQ(messageOf([&] { base64Decode(text); }), "Coding table entry not found.") << text;
    }
}

TEST(Base64, EveryByteRoundTrips) {
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    for (std::size_t length = 0; length <= bytes.size(); length += 37) {
        std::string encoded = base64Encode(bytes.substr(0, length));
        EXPECT_EQ(encoded.find_first_of("\r\n"), std::string::npos);
        EXPECT_EQ(encoded.size() % 4, 0u);
        EXPECT_EQ(base64Decode(encoded), bytes.substr(0, length));
    }
}

struct CredentialCase {
    const char* name;
    std::string user;
    std::string password;
    std::string joined;
    std::optional<std::string> loadedUser; // nullopt: the field keeps its value
    std::optional<std::string> loadedPassword;
};

const std::vector<CredentialCase> kCredentialCases = {
    {"UserAlone", "alice", "", "alice", "alice", std::nullopt},
    {"PasswordAlone", "", "secret", ":secret", std::nullopt, "secret"},
    {"PasswordWithColons", "alice", "se:c:ret", "alice:se:c:ret", "alice", "se:c:ret"},
    {"BlanksTrimmed", " \t alice\r\n", "\x01 pw \x1F", "alice:pw", "alice", "pw"},
    {"BlankUserAndPassword", "  ", "\t", "", "", std::nullopt},
    {"BytesKept", "\xE9l\xE8ve", "\xFF", "\xE9l\xE8ve:\xFF", "\xE9l\xE8ve", "\xFF"},
};

TEST(Credential, JoinEncodeDecodeSplitRoundTrips) {
    for (const CredentialCase& c : kCredentialCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(joinCredential(c.user, c.password), c.joined);
        CredentialParts parts = splitCredential(base64Decode(base64Encode(c.joined)));
        EXPECT_EQ(parts.user, c.loadedUser);
        EXPECT_EQ(parts.password, c.loadedPassword);
    }
}

TEST(Credential, OnlyTheFirstColonSplits) {
    CredentialParts parts = splitCredential("::x:");
    EXPECT_EQ(parts.user, std::nullopt);
    EXPECT_EQ(parts.password, ":x:");
    parts = splitCredential("u:");
    EXPECT_EQ(parts.user, "u");
    EXPECT_EQ(parts.password, "");
}

// Texts another spelling of which a save writes: the judge takes these as given.
struct SameCase {
    const Key& key;
    const char* asked;
    const char* readBack;
    std::optional<bool> same;
};

const std::vector<SameCase> kSameCases = {
    {key::runTimeLimit, "01:030", "1:30", true},
    {key::runTimeLimit, "5", "5:0", false},
    {key::cpuTemperatureThresholds, "50c:40f", "50C:40F", true},
    {key::cpuTemperatureThresholds, "50", "50K:0K", true},
    {key::cpuTemperatureThresholds, "abc", "0K:0K", false},
    {key::cpuTemperatureThresholds, "", "0K:0K", false},
    {key::encoding, "uue", "UUE", true},
    {key::restartOnConfigFileChange, "YES", "yes", false},
    {key::logFileType, "no limit", "\"no limit\"", false},
    {key::priority, "007", "7", true},
    {key::projectPriority, "OGR,RC5", "OGR,RC5,DES=0,CSC=0", false},
    {key::keyserver, "ks", "ks:2064", std::nullopt},
    {key::keyserver, "ks:1", "ks:1", true},
};

TEST(ValueForms, SameMeaning) {
    for (const SameCase& c : kSameCases)
        EXPECT_EQ(sameMeaning(c.key, c.asked, c.readBack), c.same)
            << c.key.name << " " << c.asked << " " << c.readBack;
}

} // namespace
