// quenbyconf as a user runs it: the built program on real files in a temporary
// folder, one table row per command line.
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

using qe::test::readBytes;
using qe::test::TempDir;

// A client file as people have them: CRLF, a comment, a foreign section, a
// credential (bob:secret), a key the editor does not know.
const std::string kTypical = "; client config\r\n"
                             "[parameters]\r\n"
                             "id=me@example.org\r\n"
                             "\r\n"
                             "[custom]\r\n"
                             "; keep me\r\n"
                             "foo = bar\r\n"
                             "\r\n"
                             "[networking]\r\n"
                             "nettimeout=90\r\n"
                             "firewall-type=http\r\n"
                             "firewall-host=proxy:3128\r\n"
                             "firewall-auth=Ym9iOnNlY3JldA==\r\n"
                             "\r\n"
                             "[misc]\r\n"
                             "project-priority=OGR,RC5\r\n"
                             "colour=red\r\n";

// The owned sections erased where they stood and written again at the end, in the
// save's order; every other byte kept, CRLF included.
const std::string kTypicalSaved = "; client config\r\n"
                                  "[custom]\r\n"
                                  "; keep me\r\n"
                                  "foo = bar\r\n"
                                  "\r\n"
                                  "[parameters]\r\n"
                                  "id=me@example.org\r\n"
                                  "[misc]\r\n"
                                  "project-priority=OGR,RC5,DES=0,CSC=0\r\n"
                                  "[networking]\r\n"
                                  "nettimeout=120\r\n"
                                  "firewall-type=http\r\n"
                                  "firewall-host=proxy:3128\r\n"
                                  "firewall-auth=Ym9iOnNlY3JldA==\r\n";

struct Result {
    int status;
    std::string out;
    std::string err;
};

std::string quoted(const std::string& arg) {
    std::string q = "'";
    for (char c : arg)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// as: a command that runs the program as another user, or "".
Result quenbyconf(const TempDir& dir, const std::vector<std::string>& args,
                  const std::string& input = {}, const std::string& as = {}) {
    dir.write("stdin", input);
    std::string line = "cd " + quoted(dir.path()) + " && " + as + " " + quoted(QUENBYCONF);
    for (const std::string& a : args)
        line += " " + quoted(a);
    line += " <stdin >stdout 2>stderr";
    const int raw = std::system(line.c_str());
    return {WEXITSTATUS(raw), readBytes(dir.file("stdout")), readBytes(dir.file("stderr"))};
}

long long modified(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
}

struct Case {
    const char* name;
    std::vector<std::string> args; // "a.ini" holds kTypical
    int status;
    std::vector<std::string> out;      // each in standard output
    std::vector<std::string> err = {}; // each in standard error
    const char* input = "";
    bool fileKept = true; // a.ini byte for byte, and its modification time
};

const Case kCases[] = {
    {"GetShowsEveryKeyWithThePasswordMasked",
     {"get", "a.ini"},
     0,
     {"networking.nettimeout=90\n", "networking.firewall-auth=bob:********\n",
      "misc.project-priority=OGR,RC5,DES=0,CSC=0\n", "logging.mail-log-from=me@example.org\n"}},
    {"GetMatchesNamesWithoutCaseAndShowsSecretsOnRequest",
     {"get", "--show-secrets", "a.ini", "NETWORKING.NetTimeout", "networking.firewall-auth"},
     0,
     {"networking.nettimeout=90\nnetworking.firewall-auth=bob:secret\n"}},
    {"OutOfRangeValuesAreRefusedWithTheirLimits",
     {"set", "a.ini", "networking.nettimeout=500", "processor-usage.priority=99"},
     1,
     {},
     {"networking.nettimeout=500: 5 to 300 seconds\n", "processor-usage.priority=99: 0 to 9\n"}},
    {"AValueTheInterlocksLeaveOutIsRefused",
     {"set", "a.ini", "networking.firewall-type=", "networking.firewall-host=proxy"},
     1,
     {},
     {"networking.firewall-host=proxy: not saved while networking.firewall-type is none\n"}},
    {"KeysTheEditorDoesNotWriteAreRefused",
     {"set", "a.ini", "custom.foo=1", "misc.colour=blue", "display.detached=maybe"},
     1,
     {},
     {"custom.foo=1: not a section the editor owns\n",
      "misc.colour=blue: not a key of the editor's: a save would erase it\n",
      "display.detached=maybe: yes or no\n"}},
    {"AValueThatStopsTheLoadIsRefused",
     {"diff", "a.ini", "processor-usage.max-threads=x"},
     1,
     {},
     {"processor-usage.max-threads=x: 'x' is not a valid integer value\n"}},
    {"AnUnknownOptionIsAWrongCommandLine",
     {"diff", "a.ini", "networking.nettimeout=120", "--show-secrets=no"},
     2,
     {},
     {"unknown option --show-secrets=no"}},
    {"DiffPrintsTheUnifiedDiff",
     {"diff", "a.ini", "networking.nettimeout=120"},
     0,
     {"--- a.ini\n+++ a.ini\n", "-nettimeout=90\r\n+nettimeout=120\r\n", "-colour=red\r\n",
      "firewall-auth=********\r\n"},
     {"warning: line 17: misc.colour=red: not a key of the editor's: a save erases it\n",
      "warning: misc.project-priority=OGR,RC5: a save writes OGR,RC5,DES=0,CSC=0\n"}},
    {"BlanksAtATextsEndsStayInQuotesThatAReadRemoves",
     {"diff", "a.ini", "logging.log-file-type=restart", "logging.log-file= my log "},
     0,
     {"+log-file=\" my log \"\r\n"}},
    {"StrictTurnsWarningsIntoRefusals",
     {"set", "--strict", "a.ini", "networking.nettimeout=120"},
     1,
     {},
     {"misc.project-priority=OGR,RC5: a save writes OGR,RC5,DES=0,CSC=0\n"}},
    {"CheckReportsWhatASaveWouldChange",
     {"check", "a.ini"},
     1,
     {"line 17: misc.colour=red: not a key of the editor's: a save erases it\n",
      "misc.project-priority=OGR,RC5: a save writes OGR,RC5,DES=0,CSC=0\n"}},
    {"JsonAnswerMasksTheCredentialEverywhere",
     {"--json", "diff", "a.ini", "networking.firewall-auth=eve:hidden"},
     0,
     {"\"changed\": true", "\"networking.firewall-auth\": \"eve:********\"",
      "firewall-auth=********\\r\\n"}},
    {"ApplyTakesBooleansAsTheFlagsOwnWords",
     {"apply", "a.ini"},
     0,
     {"\"changed\": true", "\"triggers.restart-on-config-file-change\": \"yes\"",
      "\"networking.nofallback\": \"true\"", "\"networking.nettimeout\": \"120\""},
     {},
     R"({"settings": {"triggers": {"restart-on-config-file-change": true},
         "networking": {"nettimeout": 120, "autofindkeyserver": false, "nofallback": true,
                        "keyserver": "k.example.org:2064"}},
         "check_mode": true})"},
    {"ApplyRefusesABooleanForAText",
     {"apply", "a.ini"},
     1,
     {"\"errors\": ["},
     {"parameters.id=true: not a flag"},
     R"({"settings": {"parameters": {"id": true}}})"},
    {"AWrongRequestIsAWrongCommandLine", {"apply", "a.ini"}, 2, {}, {"line 1"}, "{\"settings\":"},
    {"AFileThatStopsTheLoadStopsEveryVerb",
     {"get", "bad.ini"},
     5,
     {},
     {"'x' is not a valid integer value\n"}},
    {"AMissingFileIsUnreadable", {"set", "none.ini", "rc5.core=1"}, 3, {}, {"none.ini: No such"}},
    {"AFolderIsUnreadableToEveryVerb",
     {"set", "./", "rc5.core=1"},
     3,
     {},
     {"./: Is a directory\n"}},
    {"AFolderIsUnreadableToAVerbThatReads", {"get", "."}, 3, {}, {".: Is a directory\n"}},
    {"NoVerbIsAWrongCommandLine", {"--json"}, 2, {}, {"usage: quenbyconf"}},
    {"SchemaListsTheKeysWithTheirLimits",
     {"schema"},
     0,
     {"\"key\": \"networking.nettimeout\"", "\"unit\": \"seconds\""}},
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class Quenbyconf : public ::testing::TestWithParam<Case> {};

TEST_P(Quenbyconf, AnswersAsTheTableSays) {
    const Case& c = GetParam();
    TempDir dir;
    const std::string file = dir.write("a.ini", kTypical);
    dir.write("bad.ini", "[processor-usage]\nmax-threads=x\n");
    const long long before = modified(file);
    const Result run = quenbyconf(dir, c.args, c.input);
    EXPECT_EQ(run.status, c.status) << run.err;
    for (const std::string& text : c.out)
        EXPECT_NE(run.out.find(text), std::string::npos) << "wanted " << text << " in\n" << run.out;
    for (const std::string& text : c.err)
        EXPECT_NE(run.err.find(text), std::string::npos) << "wanted " << text << " in\n" << run.err;
    EXPECT_EQ(run.out.find("Ym9iOnNlY3JldA=="), std::string::npos) << "the credential leaked";
    if (c.fileKept) {
        EXPECT_EQ(readBytes(file), kTypical);
        EXPECT_EQ(modified(file), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Quenbyconf, ::testing::ValuesIn(kCases),
                         [](const auto& row) { return std::string(row.param.name); });

// A save keeps every foreign byte and line ending; the same set again writes
// nothing, so the modification time stays.
TEST(QuenbyconfSave, WritesTheSaveOnceAndThenNothing) {
    TempDir dir;
    const std::string file = dir.write("a.ini", kTypical);
    const std::vector<std::string> set = {"set", "a.ini", "networking.nettimeout=120",
                                          "misc.project-priority=OGR,RC5,DES=0,CSC=0"};
    Result run = quenbyconf(dir, set);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readBytes(file), kTypicalSaved);
    const long long saved = modified(file);
    run = quenbyconf(dir, {"--json", "set", "a.ini", "networking.nettimeout=120"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"changed\": false"), std::string::npos) << run.out;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(modified(file), saved);
    EXPECT_EQ(quenbyconf(dir, {"check", "a.ini"}).status, 0);
}

TEST(QuenbyconfSave, CreatesAMissingFileOnlyWhenAsked) {
    TempDir dir;
    const Result run =
        quenbyconf(dir, {"set", "--create", "new.ini", "parameters.id=me@example.org"});
    ASSERT_EQ(run.status, 0) << run.err;
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("new.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(readBytes(dir.file("new.ini")),
              "[parameters]\nid=me@example.org\n[misc]\nproject-priority=RC5,OGR,DES=0,CSC=0\n");
}

TEST(QuenbyconfSave, AFileWithoutWriteBitsIsNotWritten) {
    TempDir dir;
    const std::string file = dir.write("a.ini", kTypical);
    ::chmod(file.c_str(), 0444);
    const Result run = quenbyconf(dir, {"unset", "a.ini", "networking.nettimeout"});
    EXPECT_EQ(run.status, 4) << run.err;
    EXPECT_NE(run.err.find("Unable to write to a.ini"), std::string::npos) << run.err;
    EXPECT_EQ(readBytes(file), kTypical);
}

// Two writers at once: each raises its own key 50 times, reading it back each
// round; a lost update would leave a count short.
TEST(QuenbyconfSave, TwoWritersAtOnceLoseNothing) {
    TempDir dir;
    dir.write("a.ini", kTypical);
    const std::string q = quoted(QUENBYCONF);
    const std::string loop = "for i in $(seq 1 50); do v=$(" + q + " get a.ini %1) && " + q +
                             " set a.ini %1=$((${v#*=} + 1)) 2>/dev/null || exit 1; done";
    auto with = [&](const std::string& k) {
        std::string l = loop;
        for (std::size_t at; (at = l.find("%1")) != std::string::npos;)
            l.replace(at, 2, k);
        return "(" + l + ")";
    };
    const std::string both = "cd " + quoted(dir.path()) + " || exit 1; " +
                             with("rc5.fetch-workunit-threshold") + " & a=$!; " +
                             with("ogr.fetch-workunit-threshold") + " & b=$!; wait $a && wait $b";
    ASSERT_EQ(std::system(("bash -c " + quoted(both)).c_str()), 0);
    const Result run = quenbyconf(
        dir, {"get", "a.ini", "rc5.fetch-workunit-threshold", "ogr.fetch-workunit-threshold"});
    EXPECT_EQ(run.out, "rc5.fetch-workunit-threshold=50\nogr.fetch-workunit-threshold=50\n");
}

// Root working in a folder another user can write follows a link there only when
// the link is root's own, or when told to; that user follows their own links.
TEST(QuenbyconfLinks, FollowsTheLinksOfTheCallerOrRootOnly) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root, to own links as another user";
    constexpr uid_t kNobody = 65534;
    const std::string asNobody = "setpriv --reuid=65534 --regid=65534 --clear-groups";
    struct Row {
        uid_t linkOwner;
        bool runAsNobody;
        bool follow;
        int status;
    };
    const Row rows[] = {{kNobody, false, false, 4},
                        {kNobody, false, true, 0},
                        {0, false, false, 0},
                        {kNobody, true, false, 0}};
    TempDir dir;
    ::chmod(dir.path().c_str(), 0777);
    int n = 0;
    for (const Row& row : rows) {
        const std::string target = dir.write("target" + std::to_string(++n), kTypical);
        const std::string link = "link" + std::to_string(n) + ".ini";
        if (row.runAsNobody) ::chown(target.c_str(), kNobody, kNobody);
        ::symlink(target.c_str(), dir.file(link).c_str());
        ::lchown(dir.file(link).c_str(), row.linkOwner, row.linkOwner);
        std::vector<std::string> args = {"set", link, "networking.nettimeout=120"};
        if (row.follow) args.push_back("--follow");
        const Result run = quenbyconf(dir, args, {}, row.runAsNobody ? asNobody : "");
        EXPECT_EQ(run.status, row.status) << "row " << n << ": " << run.err;
        EXPECT_EQ(readBytes(target) == kTypical, row.status != 0) << "row " << n;
        struct stat st {};
        EXPECT_TRUE(::lstat(dir.file(link).c_str(), &st) == 0 && S_ISLNK(st.st_mode));
        const bool refused = row.status == 4;
        EXPECT_EQ(run.err.find("(nobody), neither you nor root") != std::string::npos, refused);
    }
}

} // namespace
