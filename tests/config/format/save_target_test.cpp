// The save target: the lock between writers, the links it follows, the steps that
// stay with the file that was read.
#include "config/error.h"
#include "config/file_io.h"
#include "config/file_system.h"
#include "config/save_target.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <vector>

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

constexpr uid_t kNobody = 65534;
const std::string kOld = "[misc]\nk=old\n";
const std::string kNew = "[misc]\nk=new\n";

// Saves kNew to path; the owner of the link refused, or -1 when written.
long saveRefusedBy(const std::string& path, Links links) {
    try {
        SaveTarget target(path, {links, 0});
        target.replace(kNew);
    } catch (const ForeignLinkError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
        EXPECT_NE(e.detail().find(e.link()), std::string::npos) << e.detail();
        return static_cast<long>(e.owner());
    }
    return -1;
}

// A chain of links to a file of root's, each link owned as the row says; the last
// one names the file, or its folder when the path goes on through it.
TEST(SaveLinks, OnlyTheCallersAndRootsAreFollowedUnlessAsked) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to give a link away";
    struct Row {
        std::vector<uid_t> owners; // of the links, first the one the path names
        bool toFolder;
        Links links;
        long refusedBy; // -1: written through
    } rows[] = {
        {{kNobody}, false, Links::OwnOnly, kNobody},
        {{kNobody}, false, Links::Follow, -1},
        {{0}, false, Links::OwnOnly, -1},
        {{0, kNobody}, false, Links::OwnOnly, kNobody},
        {{kNobody, 0}, false, Links::OwnOnly, kNobody},
        {{kNobody}, true, Links::OwnOnly, kNobody},
        {{0, 0}, true, Links::OwnOnly, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.owners.size()) + " links, first of " +
                     std::to_string(row.owners.front()) + (row.toFolder ? ", to the folder" : ""));
        TempDir dir;
        ::mkdir(dir.file("real").c_str(), 0755);
        const std::string file = dir.write("real/client.ini", kOld);
        for (std::size_t i = 0; i < row.owners.size(); ++i) {
            const std::string link = dir.file("link" + std::to_string(i));
            const bool lastLink = i + 1 == row.owners.size();
            const std::string to = lastLink ? (row.toFolder ? "real" : "real/client.ini")
                                            : "link" + std::to_string(i + 1);
            ASSERT_EQ(::symlink(to.c_str(), link.c_str()), 0);
            ASSERT_EQ(::lchown(link.c_str(), row.owners[i], row.owners[i]), 0);
        }
        const std::string path = dir.file(row.toFolder ? "link0/client.ini" : "link0");
        EXPECT_EQ(saveRefusedBy(path, row.links), row.refusedBy);
        EXPECT_EQ(readBytes(file), row.refusedBy < 0 ? kNew : kOld);
        struct stat st {};
        EXPECT_TRUE(::lstat(dir.file("link0").c_str(), &st) == 0 && S_ISLNK(st.st_mode));
        EXPECT_TRUE(::lstat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == 0);
    }
}

// A user other than root follows a link of their own to their own file.
TEST(SaveLinks, AnotherUserFollowsTheirOwnLink) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to become a second user";
    TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    const std::string folder = dir.file("home");
    ::mkdir(folder.c_str(), 0755);
    ASSERT_EQ(::chown(folder.c_str(), kNobody, kNobody), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(3);
        const bool ok = dir.write("home/client.ini", kOld) == folder + "/client.ini" &&
                        ::symlink("client.ini", (folder + "/link").c_str()) == 0 &&
                        saveRefusedBy(folder + "/link", Links::OwnOnly) == -1;
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(readBytes(folder + "/client.ini"), kNew);
    struct stat st {};
    EXPECT_TRUE(::lstat((folder + "/link").c_str(), &st) == 0 && st.st_uid == kNobody);
}

// The real calls; just before the first call of one step, someone else changes
// the files under the save.
class Meddling : public PosixFileSystem {
public:
    enum Step { Lock, CreateUnnamed, OpenForWriting };
    Meddling(Step step, std::function<void()> action) : step_(step), action_(std::move(action)) {}
    bool lock(int fd, std::chrono::steady_clock::time_point deadline) override {
        return before(Lock), PosixFileSystem::lock(fd, deadline);
    }
    int createUnnamed(int folder) override {
        return before(CreateUnnamed), PosixFileSystem::createUnnamed(folder);
    }
    int openForWriting(int folder, const std::string& name) override {
        return before(OpenForWriting), PosixFileSystem::openForWriting(folder, name);
    }

private:
    void before(Step step) {
        if (step == step_ && action_) std::exchange(action_, nullptr)();
    }
    Step step_;
    std::function<void()> action_;
};

// Whatever happens to the path between the steps, the save reads the file the
// path names once locked and writes that file, or nothing; never another file.
TEST(SaveRaces, TheWriteStaysWithTheFileRead) {
    const std::string kOther = "[misc]\nk=other\n";
    struct Row {
        const char* what;
        Meddling::Step step;
        bool exists, secondName;
        std::function<void(const TempDir&)> meddle;
        std::string read;      // what the save reads
        const char* writtenTo; // where kNew lands; nullptr: the save fails
    } rows[] = {
        {"another save renames its file over the target", Meddling::Lock, true, false,
         [&](const TempDir& d) { replaceFile(d.file("a/client.ini"), kOther); }, kOther,
         "a/client.ini"},
        {"another save creates the target", Meddling::Lock, false, false,
         [&](const TempDir& d) { replaceFile(d.file("a/client.ini"), kOther); }, kOther,
         "a/client.ini"},
        {"the folder is moved, a link to another in its place", Meddling::CreateUnnamed, true,
         false,
         [](const TempDir& d) {
             std::rename(d.file("a").c_str(), d.file("moved").c_str());
             ::symlink("victim", d.file("a").c_str());
         },
         kOld, "moved/client.ini"},
        {"the same before a write in place", Meddling::OpenForWriting, true, true,
         [](const TempDir& d) {
             std::rename(d.file("a").c_str(), d.file("moved").c_str());
             ::symlink("victim", d.file("a").c_str());
         },
         kOld, "moved/client.ini"},
        {"the file is replaced by a link before a write in place", Meddling::OpenForWriting, true,
         true,
         [](const TempDir& d) {
             std::rename(d.file("a/client.ini").c_str(), d.file("a/gone").c_str());
             ::symlink("../victim/client.ini", d.file("a/client.ini").c_str());
         },
         kOld, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir dir;
        ::mkdir(dir.file("a").c_str(), 0755);
        ::mkdir(dir.file("victim").c_str(), 0755);
        dir.write("victim/client.ini", "victim");
        if (row.exists) dir.write("a/client.ini", kOld);
        if (row.secondName) ::link(dir.file("a/client.ini").c_str(), dir.file("a/second").c_str());
        Meddling fs(row.step, [&] { row.meddle(dir); });
        try {
            SaveTarget target(dir.file("a/client.ini"), {}, fs);
            EXPECT_EQ(target.bytes(), row.read);
            target.replace(kNew);
            EXPECT_TRUE(row.writtenTo);
        } catch (const SaveError& e) {
            EXPECT_FALSE(row.writtenTo) << e.detail();
        }
        if (row.writtenTo) {
            EXPECT_EQ(readBytes(dir.file(row.writtenTo)), kNew);
        }
        EXPECT_EQ(readBytes(dir.file("victim/client.ini")), "victim");
    }
}

// A new file gets exactly the mode asked for, whatever the umask, and is the
// caller's; an empty one is made too.
TEST(SaveNewFile, TakesTheModeAskedFor) {
    for (auto [mask, mode, bytes] :
         {std::tuple{0077u, 0600u, kNew}, {0000u, 0600u, kNew}, {0027u, 0644u, std::string()}}) {
        TempDir dir;
        const mode_t old = ::umask(mask);
        SaveTarget target(dir.file("client.ini"), {Links::OwnOnly, mode});
        EXPECT_FALSE(target.exists());
        target.replace(bytes);
        ::umask(old);
        struct stat st {};
        ASSERT_EQ(::stat(dir.file("client.ini").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode);
        EXPECT_EQ(st.st_uid, ::geteuid());
        EXPECT_EQ(readBytes(dir.file("client.ini")), bytes);
    }
}

// The same bytes again write nothing: the file and its modification time stay.
TEST(SaveNewFile, SameBytesWriteNothing) {
    TempDir dir;
    const std::string path = dir.write("client.ini", kOld);
    const struct timespec past[2] = {{1000, 0}, {1000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), past, 0), 0);
    struct stat before {
    }, after{};
    ::stat(path.c_str(), &before);
    SaveTarget(path).replace(kOld);
    ::stat(path.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_sec, 1000);
}

} // namespace
