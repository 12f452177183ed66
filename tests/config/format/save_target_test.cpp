// The save target: the lock between writers, the links it follows, the steps that
// stay with the file that was read.
#include "config/error.h"
#include "config/save_target.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace qe;
using namespace qe::test;

namespace {

// Two processes each add 50 keys of their own to one file, one save a key, a
// read-modify-replace each; with the lock none is lost. The file is missing at the
// start, so the first saves are locked through the folder.
TEST(SaveLock, TwoWritersLoseNothing) {
    TempDir dir;
    const std::string path = dir.file("client.ini");
    constexpr int kRounds = 50;
    pid_t writers[2];
    for (char writer : {'a', 'b'}) {
        writers[writer - 'a'] = ::fork();
        if (writers[writer - 'a'] != 0) continue;
        for (int round = 0; round < kRounds; ++round) {
            try {
                SaveTarget target(path, {Links::OwnOnly, 0600});
                target.replace(target.bytes() + writer + std::to_string(round) + "=1\n");
            } catch (...) {
                ::_exit(1);
            }
        }
        ::_exit(0);
    }
    for (pid_t writer : writers) {
        int status = 0;
        ::waitpid(writer, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::string bytes = readBytes(path);
    for (char writer : {'a', 'b'})
        for (int round = 0; round < kRounds; ++round)
            EXPECT_NE(bytes.find(writer + std::to_string(round) + "=1\n"), std::string::npos)
                << writer << round;
    EXPECT_EQ(bytes.size(), 2u * (5 * 10 + 6 * 40)) << bytes;
    EXPECT_EQ(dir.names(), std::set<std::string>{"client.ini"});
}

} // namespace
