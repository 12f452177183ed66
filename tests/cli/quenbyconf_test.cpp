// quenbyconf as a user runs it: the built program on real files in a temporary
// folder, one table row per command line.
#include "temp_dir.h"

#include "cli/json.h"
#include "cli/session.h"
#include "config/ini_text.h"
#include "fields/keys.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <regex>
#include <string>
#include <tuple>
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
    bool fileKept = true;                 // a.ini byte for byte, and its modification time
    std::vector<std::string> notOut = {}; // none in standard output
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
    {"ATextWhoseEndsTheClientTrimsIsRefused",
     {"set", "a.ini", "logging.log-file-type=restart", "logging.log-file=  my log.txt "},
     1,
     {},
     {"logging.log-file=  my log.txt : the client reads it without the blanks at its ends\n"}},
    {"ApplyRefusesATextInQuotesThatAReadRemoves",
     {"apply", "a.ini"},
     1,
     {"the client reads it without the quotes at its ends"},
     {},
     R"({"settings": {"triggers": {"pause-flag-filename": "'x'"}}})"},
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
      "firewall-auth=********\\r\\n", "firewall-auth=******** (changed)\\r\\n"}},
    {"DiffMarksAChangedPasswordOnTheMaskedLine",
     {"diff", "a.ini", "networking.firewall-auth=bob:new"},
     0,
     {"-firewall-auth=********\r\n", "+firewall-auth=******** (changed)\r\n"}},
    {"TheMaskedCredentialGivenBackKeepsThePassword",
     {"apply", "a.ini"},
     0,
     {"\"networking.firewall-auth\": \"bob:********\""},
     {},
     R"({"settings": {"networking": {"firewall-auth": "bob:********"}}, "check_mode": true})",
     true,
     {"(changed)"}},
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
    for (const std::string& text : c.notOut)
        EXPECT_EQ(run.out.find(text), std::string::npos) << "unwanted " << text << " in\n"
                                                         << run.out;
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

// --backup copies the file as it was, beside it, only when the call changes it;
// the copy keeps the file's mode and owner, and the answer names it.
TEST(QuenbyconfSave, BackupCopiesTheOldFileOnlyWhenTheCallChangesIt) {
    TempDir dir;
    const std::string file = dir.write("a.ini", kTypical);
    ::chmod(file.c_str(), 0640);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    }
    struct stat old {};
    ::stat(file.c_str(), &old);
    const char* request = R"({"backup": true, "settings": {"networking": {"nettimeout": 120}}})";
    Result run = quenbyconf(dir, {"apply", "a.ini"}, request);
    ASSERT_EQ(run.status, 0) << run.err;
    std::smatch named;
    ASSERT_TRUE(std::regex_search(run.out, named, std::regex(R"re("backup_file": "([^"]*)")re")))
        << run.out;
    const std::string copy = named[1];
    EXPECT_TRUE(
        std::regex_match(copy, std::regex(R"(a\.ini\.\d+\.\d{4}-\d\d-\d\d@\d\d:\d\d:\d\d~)")))
        << copy;
    EXPECT_EQ(readBytes(dir.file(copy)), kTypical);
    struct stat st {};
    ASSERT_EQ(::stat(dir.file(copy).c_str(), &st), 0);
    EXPECT_EQ(std::tie(st.st_mode, st.st_uid, st.st_gid),
              std::tie(old.st_mode, old.st_uid, old.st_gid));
    const auto names = dir.names();
    run = quenbyconf(dir, {"set", "--backup", "a.ini", "networking.nettimeout=120"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(dir.names(), names);
}

// Another writer holds the lock for the whole call: once the wait is over the call
// writes nothing and exits 6, naming the file and the wait.
TEST(QuenbyconfSave, ALockHeldLongerThanTheWaitEndsTheCall) {
    TempDir dir;
    const std::string file = dir.write("a.ini", kTypical);
    const int held = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const Result waited =
        quenbyconf(dir, {"set", "--wait", "1", "a.ini", "networking.nettimeout=120"});
    const Result applied =
        quenbyconf(dir, {"apply", "a.ini"},
                   R"({"wait": 0, "backup": true, "settings": {"rc5": {"core": 1}}})");
    ::close(held);
    EXPECT_EQ(waited.status, 6);
    EXPECT_NE(waited.err.find("Unable to write to a.ini\nAnother program held the file locked "
                              "for all of the 1 second waited; nothing was written."),
              std::string::npos)
        << waited.err;
    EXPECT_EQ(applied.status, 6);
    EXPECT_NE(applied.out.find("Unable to write to a.ini\\nAnother program held the file locked;"),
              std::string::npos)
        << applied.out;
    EXPECT_EQ(readBytes(file), kTypical);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"a.ini", "stdin", "stdout", "stderr"}));
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

// {"settings": ..., "latin1": [...]} with a section of its own for each key, the
// values given as JSON.
std::string requestOf(const std::map<std::string, std::string>& values,
                      const std::vector<std::string>& latin1) {
    std::string settings, marked;
    for (const auto& [name, json] : values)
        settings += (settings.empty() ? "\"" : ", \"") + name.substr(0, name.find('.')) +
                    "\": {\"" + name.substr(name.find('.') + 1) + "\": " + json + "}";
    for (const std::string& name : latin1)
        marked += (marked.empty() ? "\"" : ", \"") + name + "\"";
    return "{\"settings\": {" + settings + "}, \"latin1\": [" + marked + "]}";
}

// Any bytes between two letters, in every text key at once, are set exactly through
// apply (given as Latin-1), and the values and latin1 of get --json, given back to
// apply, write nothing: every byte 0x01..0xFF and mixed strings. A line break
// cannot be in a value, and file names refuse the symbols the check forbids.
TEST(QuenbyconfTexts, ApplySetsAnyBytesAndGetsJsonGivenBackWritesNothing) {
    std::vector<std::string> values = {"caf\xE9",          "\xC3\xA9\xE9", "\xC3\xA9",
                                       "\xE2\x82\xAC\xFF", "\xED\xA0\x80", "\xC0\xAF",
                                       "\xF4\x90\x80\x80", "\xEF\xBB\xBFx"};
    for (int byte = 1; byte <= 0xFF; ++byte)
        values.emplace_back(1, static_cast<char>(byte));
    TempDir dir;
    for (const std::string& value : values) {
        SCOPED_TRACE(testing::PrintToString(value));
        std::map<std::string, std::string> given,
            request = {{"buffers.allow-update-from-altbuffer", "\"yes\""},
                       {"logging.mail-log-max", "2048"},
                       {"logging.log-file-type", "\"no limit\""},
                       {"networking.dialup-watcher", "\"active\""},
                       {"networking.enable-start-stop", "\"yes\""}};
        for (const qe::Key* k : qe::kOwnedKeys)
            if (k->form == qe::ValueForm::Text)
                given[qe::cli::dottedName(*k)] = (k == &qe::key::id ? "m" : "a") + value +
                                                 (k == &qe::key::id ? "e@example.org" : "b");
        const std::string file = dir.write("t.ini", "");
        Result run{1, {}, {}};
        // The check stops at the first file name it refuses.
        for (std::size_t left = given.size() + 1; run.status == 1 && left > 0; --left) {
            std::vector<std::string> latin1;
            for (const auto& [name, bytes] : given) {
                std::string& json = request[name] = "\"";
                for (const unsigned char c : bytes)
                    json += "\\u00" +
                            std::string{"0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 15]};
                json += "\"";
                latin1.push_back(name);
            }
            run = quenbyconf(dir, {"apply", "t.ini"}, requestOf(request, latin1));
            if (value == "\n" || value == "\r") break;
            const qe::json::Value refused = qe::json::parse(run.out);
            for (const qe::json::Value& e : refused.find("errors")->items()) {
                ASSERT_NE(e.find("message")->text().find("not allowed to be used in filenames"),
                          std::string::npos);
                given.erase(e.find("key")->text());
                request.erase(e.find("key")->text());
            }
        }
        const std::string saved = readBytes(file);
        ASSERT_EQ(run.status, value == "\n" || value == "\r" ? 1 : 0) << run.err;
        if (run.status != 0) continue;
        for (const auto& [name, bytes] : given)
            EXPECT_EQ(qe::IniText{saved}.read(name.substr(0, name.find('.')),
                                              name.substr(name.find('.') + 1), ""),
                      bytes);
        const qe::json::Value answer =
            qe::json::parse(quenbyconf(dir, {"--json", "get", "t.ini"}).out);
        std::map<std::string, std::string> shown;
        std::vector<std::string> latin1;
        for (const auto& [name, text] : answer.find("values")->members())
            shown[name] = qe::json::dump(qe::json::text(text.text()));
        for (const qe::json::Value& name : answer.find("latin1")->items())
            latin1.push_back(name.text());
        run = quenbyconf(dir, {"apply", "t.ini"}, requestOf(shown, latin1));
        EXPECT_NE(run.out.find("\"changed\": false"), std::string::npos) << run.out << run.err;
        EXPECT_EQ(readBytes(file), saved);
    }
}

// A request that marks as Latin-1 a key it does not set, or a text Latin-1 cannot
// hold, is a wrong request, and nothing is written.
TEST(QuenbyconfTexts, WrongLatin1MarksAreWrongRequests) {
    TempDir dir;
    const std::string file = dir.write("a.ini", kTypical);
    for (const char* request :
         {R"({"settings": {}, "latin1": ["logging.log-file"]})",
          R"({"absent": ["logging.log-file"], "latin1": ["logging.log-file"]})",
          R"({"settings": {"logging": {"log-file": "\u20ac"}},
                                    "latin1": ["logging.log-file"]})"})
        EXPECT_EQ(quenbyconf(dir, {"apply", "a.ini"}, request).status, 2) << request;
    EXPECT_EQ(readBytes(file), kTypical);
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
