// The answers of quenbyconf that scripts and the Ansible collection parse, each
// compared byte for byte with a file of tests/data/quenbyconf: the built program runs
// in a temporary folder on a copy of an input of that folder; its standard output
// must be the golden file, its exit status the row's.
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

namespace {

using qe::test::readBytes;
using qe::test::TempDir;

const std::string kFolder = QE_TEST_DATA_DIR "/quenbyconf/";

struct Golden {
    const char* answer; // the golden file: the whole standard output
    std::vector<std::string> args;
    int status;
    const char* input = "client.ini"; // copied into the temporary folder, the working folder
    const char* request = "";         // a file given on standard input
};

const Golden kGoldens[] = {
    {"schema.json", {"schema"}, 0},
    {"get.json", {"--json", "get", "client.ini"}, 0},
    {"set-changed.json",
     {"--json", "set", "client.ini", "networking.nettimeout=120",
      "networking.firewall-auth=bob:new"},
     0},
    {"set-refused.json",
     {"--json", "set", "client.ini", "networking.nettimeout=500", "custom.colour=blue"},
     1},
    {"set-warned.json", {"--json", "set", "client.ini", "networking.firewall-type="}, 0},
    {"apply.json", {"apply", "client.ini"}, 0, "client.ini", "apply-request.json"},
    {"check.json", {"--json", "check", "findings.ini"}, 1, "findings.ini"},
};

std::string quoted(const std::string& arg) {
    std::string q = "'";
    for (char c : arg)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// A backup is named after the process number and the local time; the golden file
// holds "PID" and "YYYY-MM-DD@HH:MM:SS" in their place.
std::string backupNameFixed(const std::string& out) {
    static const std::regex stamp(
        R"(\.[0-9]+\.[0-9]{4}-[0-9]{2}-[0-9]{2}@[0-9]{2}:[0-9]{2}:[0-9]{2}~)");
    return std::regex_replace(out, stamp, ".PID.YYYY-MM-DD@HH:MM:SS~");
}

void PrintTo(const Golden& g, std::ostream* os) {
    *os << g.answer;
}

class GoldenAnswer : public ::testing::TestWithParam<Golden> {};

TEST_P(GoldenAnswer, IsTheGoldenFileByteForByte) {
    const Golden& g = GetParam();
    TempDir dir;
    dir.write(g.input, readBytes(kFolder + g.input));
    dir.write("stdin", *g.request ? readBytes(kFolder + g.request) : "");
    std::string line = "cd " + quoted(dir.path()) + " && " + quoted(QUENBYCONF);
    for (const std::string& a : g.args)
        line += " " + quoted(a);
    const int raw = std::system((line + " <stdin >stdout 2>stderr").c_str());
    EXPECT_EQ(WEXITSTATUS(raw), g.status) << readBytes(dir.file("stderr"));
    EXPECT_EQ(backupNameFixed(readBytes(dir.file("stdout"))), readBytes(kFolder + g.answer));
}

INSTANTIATE_TEST_SUITE_P(Table, GoldenAnswer, ::testing::ValuesIn(kGoldens), [](const auto& row) {
    std::string name = row.param.answer;
    name.resize(name.find('.'));
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
});

} // namespace
