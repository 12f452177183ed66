#include "config/file_io.h"
#include "config/ini_text.h"
#include "row_name.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qe;
using namespace qe::test;
using namespace std::string_literals;

namespace {

const std::string kDefault = "<default>";

struct ReadCase {
    const char* name;
    std::string file;
    const char* section;
    const char* key;
    std::string expected;
};
void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

const std::vector<ReadCase> kReadCases = {
    {"AbsentKeyGivesDefault", "[misc]\nother=1\n", "misc", "key", kDefault},
    {"AbsentSectionGivesDefault", "[other]\nkey=1\n", "misc", "key", kDefault},
    {"EmptyFileGivesDefault", "", "misc", "key", kDefault},
    {"EmptyValueIsNotAbsent", "[misc]\nkey=\n", "misc", "key", ""},
    {"BlanksAroundValueAndName", "[misc]\n \t key \t=  \t two words \t\n", "misc", "key",
     "two words"},
    {"DoubleQuotesRemoved", "[logging]\nlog-file-type=\"no limit\"\n", "logging", "log-file-type",
     "no limit"},
    {"SingleQuotesRemoved", "[misc]\nkey='x y'\n", "misc", "key", "x y"},
    {"QuotesRemovedAfterBlanks", "[misc]\nkey=  \" padded \"  \n", "misc", "key", " padded "},
    {"OnlyOnePairRemoved", "[misc]\nkey=\"\"x\"\"\n", "misc", "key", "\"x\""},
    {"MismatchedQuotesKept", "[misc]\nkey=\"x'\n", "misc", "key", "\"x'"},
    {"LoneQuoteKept", "[misc]\nkey=\"\n", "misc", "key", "\""},
    {"EmptyQuotedValue", "[misc]\nkey=\"\"\n", "misc", "key", ""},
    {"ValueAfterFirstEquals", "[misc]\nkey=a=b=c\n", "misc", "key", "a=b=c"},
    {"SectionNameIgnoresCase", "[NETWORKING]\nKeyServer=host\n", "networking", "keyserver", "host"},
    {"LookupIgnoresCase", "[networking]\nkeyserver=host\n", "NetWorking", "KEYSERVER", "host"},
    {"ValueKeepsCase", "[networking]\nautofindkeyserver=YES\n", "networking", "autofindkeyserver",
     "YES"},
    {"BlanksInsideHeader", " \t[ misc ]  ; note\nkey=1\n", "misc", "key", "1"},
    {"UnclosedHeaderOpensNoSection", "[misc]\n[rc5\nkey=1\n", "rc5", "key", kDefault},
    {"LinesAfterUnclosedHeaderStayAbove", "[misc]\n[rc5\nkey=1\n", "misc", "key", "1"},
    {"UnclosedHeaderIsNoKey", "[misc]\n[key=1\n", "misc", "[key", kDefault},
    {"SemicolonCommentIsNoKey", "[misc]\n;key=1\nkey=2\n", "misc", "key", "2"},
    {"HashCommentIsNoKey", "[misc]\n  #key=1\n", "misc", "key", kDefault},
    {"CommentMarkLaterIsPartOfValue", "[misc]\nkey=1 ; two\n", "misc", "key", "1 ; two"},
    {"EmptyNameIsNoKey", "[misc]\n = 1\n", "misc", "", kDefault},
    {"LinesBeforeFirstSectionAreNoKeys", "key=0\n[misc]\nother=1\n", "misc", "key", kDefault},
    {"KeyBelongsToSectionAbove", "[misc]\n[rc5]\nkey=1\n", "misc", "key", kDefault},
    {"FirstOfDuplicateKeysWins", "[misc]\nkey=1\nkey=2\n", "misc", "key", "1"},
    {"DuplicateSectionsSearchedInOrder",
     "[misc]\na=1\n[rc5]\nkey=x\n[MISC]\nkey=2\n[misc]\nkey=3\n", "misc", "key", "2"},
    {"CrlfEndings", "[misc]\r\nkey=1\r\nnext=2\r\n", "misc", "key", "1"},
    {"CrOnlyEndings", "[misc]\rkey=1\rnext=2\r", "misc", "next", "2"},
    {"LastLineWithoutEnding", "[misc]\nkey=1", "misc", "key", "1"},
    {"ByteOrderMarkBeforeHeader", "\xEF\xBB\xBF[misc]\nkey=1\n", "misc", "key", "1"},
    {"NulIsAnOrdinaryByte", "[misc]\nkey=a\0b\n"s, "misc", "key", "a\0b"s},
    {"HighBytesUnchanged", "[misc]\nkey=\xE9t\xE9\xFF\n", "misc", "key", "\xE9t\xE9\xFF"},
    {"ValueCutTo2047", "[misc]\nkey=" + std::string(3000, 'v') + "\n", "misc", "key",
     std::string(2047, 'v')},
    {"CutAfterQuotesRemoved", "[misc]\nkey=\"" + std::string(2047, 'q') + "\"\n", "misc", "key",
     std::string(2047, 'q')},
    {"ExactlyMaxKept", "[misc]\nkey=" + std::string(2047, 'v') + "\n", "misc", "key",
     std::string(2047, 'v')},
};

class IniRead : public testing::TestWithParam<ReadCase> {};

TEST_P(IniRead, ReadsTheValue) {
    const ReadCase& c = GetParam();
    EXPECT_EQ(IniText(c.file).read(c.section, c.key, kDefault), c.expected);
    EXPECT_EQ(IniText(c.file).has(c.section, c.key), c.expected != kDefault);
}

// The same rules hold on a real file that a load reads from disk.
TEST_P(IniRead, ReadsTheValueFromDisk) {
    const ReadCase& c = GetParam();
    TempDir dir;
    std::string path = dir.write("client.ini", c.file);
    EXPECT_EQ(IniText(readForLoad(path)).read(c.section, c.key, kDefault), c.expected);
}

INSTANTIATE_TEST_SUITE_P(FileSyntax, IniRead, testing::ValuesIn(kReadCases), test::RowName());

TEST(IniRead, MissingFileReadsAsEveryKeyAbsent) {
    TempDir dir;
    IniText text(readForLoad(dir.file("missing.ini")));
    EXPECT_EQ(text.read("misc", "key", "d"), "d");
}

struct Op {
    enum { Write, Erase } kind;
    const char* section;
    const char* key = "";
    std::string value = "";
};

struct EditCase {
    const char* name;
    std::string before;
    std::vector<Op> ops;
    std::string after;
};
void PrintTo(const EditCase& c, std::ostream* os) {
    *os << c.name;
}

const std::vector<EditCase> kEditCases = {
    {"NewFile", "", {{Op::Write, "misc", "key", "v"}}, "[misc]\nkey=v\n"},
    {"ExistingKeyKeepsItsLine",
     "[a]\r\nx=1\r\nKey \t= old ; c\r\ny=2\r\n",
     {{Op::Write, "a", "key", "new"}},
     "[a]\r\nx=1\r\nkey=new\r\ny=2\r\n"},
    {"EmptyValueKeepsKey", "[a]\nkey=old\n", {{Op::Write, "a", "key", ""}}, "[a]\nkey=\n"},
    {"NewKeyAfterLastNonBlankLine",
     "[a]\nx=1\n; end of a\n\n  \n[b]\ny=2\n",
     {{Op::Write, "a", "k", "v"}, {Op::Write, "a", "l", "w"}},
     "[a]\nx=1\n; end of a\nk=v\nl=w\n\n  \n[b]\ny=2\n"},
    {"NewKeyInEmptySection", "[a]\n[b]\n", {{Op::Write, "A", "k", "v"}}, "[a]\nk=v\n[b]\n"},
    {"NewSectionAtEnd",
     "; top\n[a]\nx=1\n\n",
     {{Op::Write, "b", "k", "v"}, {Op::Write, "b", "l", ""}},
     "; top\n[a]\nx=1\n\n[b]\nk=v\nl=\n"},
    {"LastLineWithoutEndingGetsOneBeforeNewLines",
     "[a]\nx=1",
     {{Op::Write, "b", "k", "v"}},
     "[a]\nx=1\n[b]\nk=v\n"},
    {"ReplacedLastLineStaysWithoutEnding", "[a]\nx=1", {{Op::Write, "a", "x", "2"}}, "[a]\nx=2"},
    {"CrOnlyFileKeepsCr", "[a]\rx=1\r", {{Op::Write, "a", "y", "2"}}, "[a]\rx=1\ry=2\r"},
    {"CrlfFileKeepsCrlf",
     "[a]\r\nx=1\r\n",
     {{Op::Write, "b", "y", "2"}},
     "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
    {"LastEndingDecides",
     "[a]\r\nx=1\ny=1\r",
     {{Op::Write, "a", "z", "2"}},
     "[a]\r\nx=1\ny=1\rz=2\r"},
    {"UnclosedHeaderKeptInItsSection",
     "[notes]\ntext=x\n[networking\nmore=1\n[other]\ny=2",
     {{Op::Erase, "networking"}, {Op::Write, "notes", "k", "v"}},
     "[notes]\ntext=x\n[networking\nmore=1\nk=v\n[other]\ny=2"},
    {"WithoutEndingsLfIsUsed", "[a]", {{Op::Write, "a", "k", "v"}}, "[a]\nk=v\n"},
    {"EraseRemovesEveryDuplicate",
     "top\n[misc]\nk=1\n\n[keep]\n; c\nx = 1 \n[MISC]\nk=2\n[tail]\nz=1",
     {{Op::Erase, "misc"}},
     "top\n[keep]\n; c\nx = 1 \n[tail]\nz=1"},
    {"EraseLastSectionWithoutEnding",
     "[keep]\nx=1\n[misc]\nk=1",
     {{Op::Erase, "misc"}, {Op::Write, "misc", "k", "2"}},
     "[keep]\nx=1\n[misc]\nk=2\n"},
    {"EraseAbsentChangesNothing", "[a]\r\nx=1", {{Op::Erase, "b"}}, "[a]\r\nx=1"},
    {"EraseThenWriteGoesToEnd",
     "[misc]\nk=1\n[other]\nx=1\n",
     {{Op::Erase, "misc"}, {Op::Write, "misc", "k", "2"}},
     "[other]\nx=1\n[misc]\nk=2\n"},
    {"WriteReplacesTheKeyReadsSee",
     "[a]\nx=1\n[b]\n[a]\nk=1\n",
     {{Op::Write, "a", "k", "2"}, {Op::Write, "a", "n", "3"}},
     "[a]\nx=1\nn=3\n[b]\n[a]\nk=2\n"},
    {"FirstOfDuplicateKeysReplaced",
     "[a]\nk=1\nk=2\n",
     {{Op::Write, "a", "k", "3"}},
     "[a]\nk=3\nk=2\n"},
    {"KeyBeforeFirstSectionUntouched",
     "k=0\n[a]\n",
     {{Op::Write, "a", "k", "1"}},
     "k=0\n[a]\nk=1\n"},
    {"CommentedKeyUntouched", "[a]\n;k=0\n", {{Op::Write, "a", "k", "1"}}, "[a]\n;k=0\nk=1\n"},
    {"LineBreaksInValueBecomeBlanks",
     "[a]\n",
     {{Op::Write, "a", "k", "x\r\n[parameters]\nid=evil"}},
     "[a]\nk=x  [parameters] id=evil\n"},
    {"BytesWrittenUnchanged",
     "[a]\n",
     {{Op::Write, "a", "k", "\xE9\0\xFF\"'"s}},
     "[a]\nk=\xE9\0\xFF\"'\n"s},
    {"ByteOrderMarkSurvivesErase",
     "\xEF\xBB\xBF[misc]\r\nk=1\r\n[keep]\r\n",
     {{Op::Erase, "misc"}, {Op::Write, "misc", "k", "2"}},
     "\xEF\xBB\xBF[keep]\r\n[misc]\r\nk=2\r\n"},
};

class IniEdit : public testing::TestWithParam<EditCase> {};

void apply(IniText& text, const std::vector<Op>& ops) {
    for (const Op& op : ops) {
        if (op.kind == Op::Write)
            text.write(op.section, op.key, op.value);
        else
            text.eraseSection(op.section);
    }
}

TEST_P(IniEdit, GivesTheBytes) {
    const EditCase& c = GetParam();
    IniText text(c.before);
    apply(text, c.ops);
    EXPECT_EQ(text.bytes(), c.after);
    // What the edit gives reads back the same once parsed again.
    EXPECT_EQ(IniText(text).bytes(), c.after);
}

// A save: the target read from disk, edited, and replaced.
TEST_P(IniEdit, SavesTheBytesToDisk) {
    const EditCase& c = GetParam();
    TempDir dir;
    std::string path = dir.file("client.ini");
    if (!c.before.empty()) dir.write("client.ini", c.before);
    IniText text(readForSave(path));
    apply(text, c.ops);
    replaceFile(path, text.bytes());
    EXPECT_EQ(readBytes(path), c.after);
}

INSTANTIATE_TEST_SUITE_P(Operations, IniEdit, testing::ValuesIn(kEditCases), test::RowName());

TEST(IniEdit, WrittenValuesReadBack) {
    IniText text("[a]\nk=old\n");
    const std::vector<std::string> values = {"", "plain", "\"no limit\"", " padded ",
                                             std::string(3000, 'x')};
    const std::vector<std::string> expected = {"", "plain", "no limit", "padded",
                                               std::string(2047, 'x')};
    for (std::size_t i = 0; i < values.size(); ++i) {
        text.write("a", "k", values[i]);
        text.write("new", "k", values[i]);
        EXPECT_EQ(text.read("A", "K", kDefault), expected[i]) << i;
        EXPECT_EQ(text.read("new", "k", kDefault), expected[i]) << i;
    }
}

// Lines no operation touches keep their bytes, endings and oddities included.
TEST(IniEdit, UntouchedLinesKeepTheirBytes) {
    const std::vector<std::string> files = {
        "",          "\n",        "\r\n\r",       "no section", "[a",
        "[a]\n=\n;", "\0\0\n\0"s, "\xEF\xBB\xBF", "[a]\nk=1",   "[]\n[ ]\r[a]]\r\n"};
    for (const std::string& file : files) {
        IniText text(file);
        text.write("zz-new", "k", "v");
        text.eraseSection("ZZ-NEW");
        EXPECT_EQ(text.bytes(), file);
    }
}

TEST(IniEdit, ManySectionsKeepTheirBytes) {
    std::string foreign;
    for (int i = 0; i < 2000; ++i)
        foreign += "[s" + std::to_string(i) + "]\r\nkey = " + std::to_string(i) + "\r\n\r\n";
    IniText text(foreign + "[misc]\r\nk=1\r\n");
    for (int i = 0; i < 2000; i += 97)
        EXPECT_EQ(text.read("S" + std::to_string(i), "KEY", ""), std::to_string(i));
    text.eraseSection("misc");
    text.write("misc", "k", "2");
    text.write("rc5", "core", "3");
    EXPECT_EQ(text.bytes(), foreign + "[misc]\r\nk=2\r\n[rc5]\r\ncore=3\r\n");
}

} // namespace
