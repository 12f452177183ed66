#include "config/error.h"
#include "config/file_io.h"
#include "config/file_system.h"
#include "config/ini_text.h"
#include "error_message.h"
#include "row_name.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace qe;
using namespace qe::test;
using namespace std::string_literals;

namespace {

mode_t modeOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode;
}

enum class Step {
    None,
    CreateUnnamed,
    LinkUnnamed,
    CreateTemp,
    OpenExisting,
    Write,
    Truncate,
    SetOwner,
    SetMode,
    CopyAttributes,
    Sync,
    Close,
    Rename,
    SyncFolder,
    OpenNode,
    OpenFolder,
    Stat,
    StatAt,
    ReadLink,
    MayWrite,
    OpenForReading,
    Lock,
    Read
};

// The real calls, except that one step fails with error, the first `times` times it
// is called once step `after` has been called; records what it sees. A failing
// write writes half its bytes first, as a disk that fills up does.
class FaultyFileSystem : public PosixFileSystem {
public:
    explicit FaultyFileSystem(Step failing, int error = EIO, int times = 1000,
                              Step after = Step::None)
        : failing_(failing), error_(error), times_(times), after_(after) {}

    int openNode(int folder, const std::string& name) override {
        return fails(Step::OpenNode) ? -1 : PosixFileSystem::openNode(folder, name);
    }
    int openFolder(int folder, const std::string& name) override {
        return fails(Step::OpenFolder) ? -1 : PosixFileSystem::openFolder(folder, name);
    }
    bool stat(int fd, struct stat& st) override {
        return !fails(Step::Stat) && PosixFileSystem::stat(fd, st);
    }
    bool statAt(int folder, const std::string& name, struct stat& st) override {
        return !fails(Step::StatAt) && PosixFileSystem::statAt(folder, name, st);
    }
    bool readLink(int link, std::string& text) override {
        return !fails(Step::ReadLink) && PosixFileSystem::readLink(link, text);
    }
    bool mayWrite(int folder, const std::string& name) override {
        return !fails(Step::MayWrite) && PosixFileSystem::mayWrite(folder, name);
    }
    int openForReading(int folder, const std::string& name) override {
        return fails(Step::OpenForReading) ? -1 : PosixFileSystem::openForReading(folder, name);
    }
    bool lock(int fd, std::chrono::steady_clock::time_point deadline) override {
        return !fails(Step::Lock) && PosixFileSystem::lock(fd, deadline);
    }
    ssize_t read(int fd, char* data, std::size_t size, off_t offset) override {
        return fails(Step::Read) ? -1 : PosixFileSystem::read(fd, data, size, offset);
    }

    int createUnnamed(int folder) override {
        if (fails(Step::CreateUnnamed)) return -1;
        return recordMode(PosixFileSystem::createUnnamed(folder));
    }
    bool linkUnnamed(int fd, int folder, std::string& name) override {
        if (fails(Step::LinkUnnamed)) return false;
        tempPath = name;
        return PosixFileSystem::linkUnnamed(fd, folder, name);
    }
    int createTemp(int folder, std::string& name) override {
        if (fails(Step::CreateTemp)) return -1;
        tempPath = name;
        return recordMode(PosixFileSystem::createTemp(folder, name));
    }
    int openForWriting(int folder, const std::string& name) override {
        opened = true;
        return fails(Step::OpenExisting) ? -1 : PosixFileSystem::openForWriting(folder, name);
    }
    ssize_t write(int fd, const char* data, std::size_t size, off_t offset) override {
        if (failing_ == Step::Write && times_ > 0)
            PosixFileSystem::write(fd, data, size / 2, offset);
        if (fails(Step::Write)) return -1;
        return PosixFileSystem::write(fd, data, size, offset);
    }
    bool truncate(int fd, off_t size) override {
        return !fails(Step::Truncate) && PosixFileSystem::truncate(fd, size);
    }
    bool setOwner(int fd, uid_t owner, gid_t group) override {
        return !fails(Step::SetOwner) && PosixFileSystem::setOwner(fd, owner, group);
    }
    bool setMode(int fd, mode_t mode) override {
        return !fails(Step::SetMode) && PosixFileSystem::setMode(fd, mode);
    }
    bool copyAttributes(int from, int to) override {
        return !fails(Step::CopyAttributes) && PosixFileSystem::copyAttributes(from, to);
    }
    bool sync(int fd) override { return !fails(Step::Sync) && PosixFileSystem::sync(fd); }
    bool close(int fd) override {
        bool closed = PosixFileSystem::close(fd);
        return !fails(Step::Close) && closed;
    }
    bool rename(int folder, const std::string& from, const std::string& to) override {
        renamed = true;
        return !fails(Step::Rename) && PosixFileSystem::rename(folder, from, to);
    }
    bool syncFolder(int folder) override {
        return !fails(Step::SyncFolder) && PosixFileSystem::syncFolder(folder);
    }

    mode_t tempMode = 0;
    std::string tempPath;
    bool renamed = false;
    bool opened = false;

private:
    int recordMode(int fd) {
        struct stat st {};
        if (fd >= 0 && ::fstat(fd, &st) == 0) tempMode = st.st_mode & 07777;
        return fd;
    }
    bool fails(Step step) {
        armed_ = armed_ || step == after_;
        if (step != failing_ || !armed_ || times_ <= 0) return false;
        --times_;
        errno = error_;
        return true;
    }
    Step failing_;
    int error_;
    int times_;
    Step after_;
    bool armed_ = after_ == Step::None;
};

const std::string kOld = "[keep]\r\nx = 1\r\n[misc]\r\nk=old\r\n";
const std::string kNew = "[keep]\r\nx = 1\r\n[misc]\r\nk=new\r\n" + std::string(5000, ';') + "\r\n";

// The detail of the SaveError an action raises, whose message must name path.
std::string detailOf(const std::string& path, const std::function<void()>& action) {
    try {
        action();
    } catch (const SaveError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
        return e.detail();
    }
    return "<no error>";
}

// A failing step of the rename either ends the save with the target as it was, or,
// when writing in place can get round it, leads to a write in place.
TEST(SaveFaults, EachFailingStepOfTheRenameFailsOrWritesInPlace) {
    enum Outcome { Failed, Renamed, InPlace };
    struct Row {
        Step step;
        int error;
        Outcome outcome;
        Step after = Step::None; // the step fails once this one has been called
    } rows[] = {
        {Step::CreateUnnamed, EIO, Failed},
        {Step::CreateUnnamed, EACCES, InPlace},
        {Step::CreateUnnamed, EOPNOTSUPP, Renamed}, // through a named temporary file
        {Step::Write, EIO, Failed},
        {Step::Write, ENOSPC, InPlace},
        {Step::SetOwner, EPERM, InPlace},
        {Step::CopyAttributes, EPERM, InPlace},
        {Step::SetMode, EIO, Failed},
        {Step::SetMode, EPERM, InPlace},
        {Step::Sync, EIO, Failed},
        {Step::LinkUnnamed, EIO, Failed},
        {Step::LinkUnnamed, ENAMETOOLONG, InPlace},
        {Step::Rename, EIO, Failed},
        {Step::Rename, EBUSY, InPlace},
        // After the rename: the new file is in place and flushed.
        {Step::Close, EIO, Renamed, Step::Rename},
        {Step::Stat, EIO, Failed, Step::CreateUnnamed},
        {Step::Lock, EIO, Failed, Step::CreateUnnamed},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(static_cast<int>(row.step)) + " " + std::strerror(row.error));
        TempDir dir;
        std::string path = dir.write("client.ini", kOld);
        ::chmod(path.c_str(), 0640);
        // Only a file of another owner needs the step that sets it.
        const bool root = ::geteuid() == 0;
        if (row.step == Step::SetOwner && !root) continue;
        if (root) ::chown(path.c_str(), 4321, 8765);
        FaultyFileSystem fs(row.step, row.error, 1, row.after);
        const std::string detail = detailOf(path, [&] { replaceFile(path, kNew, fs); });
        EXPECT_EQ(detail, row.outcome == Failed ? std::strerror(row.error) : "<no error>");
        EXPECT_EQ(fs.opened, row.outcome == InPlace);
        EXPECT_EQ(readBytes(path), row.outcome == Failed ? kOld : kNew);
        EXPECT_EQ(modeOf(path) & 07777, 0640u);
        EXPECT_EQ(dir.names(), std::set<std::string>{"client.ini"});
    }
}

// A file with a second name is written in place; each failing step of that write
// puts the old content back, and the message says so.
TEST(SaveFaults, EachFailingStepInPlacePutsTheOldContentBack) {
    struct Row {
        Step step;
        int times;
        const char* outcome; // the detail's last line
        Step after = Step::None;
    } rows[] = {
        {Step::OpenExisting, 1, ""},
        {Step::Stat, 1, "", Step::OpenExisting},
        {Step::Read, 2, "", Step::OpenExisting}, // comparing and reading the old content
        {Step::Write, 1, "The file's old content was put back."},
        {Step::Truncate, 1, "The file's old content was put back."},
        {Step::Sync, 1, "The file's old content was put back."},
        {Step::Write, 2, "The file's old content could not be put back."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(static_cast<int>(row.step)) + " x" + std::to_string(row.times));
        TempDir dir;
        std::string path = dir.write("client.ini", kOld);
        ASSERT_EQ(::link(path.c_str(), dir.file("other-name").c_str()), 0);
        FaultyFileSystem fs(row.step, EIO, row.times, row.after);
        const std::string detail = detailOf(path, [&] { replaceFile(path, kNew, fs); });
        EXPECT_EQ(detail,
                  std::string("Input/output error") + (*row.outcome ? "\n" : "") + row.outcome);
        if (row.times == 1 || !*row.outcome) {
            EXPECT_EQ(readBytes(path), kOld);
        }
        EXPECT_EQ(readBytes(dir.file("other-name")), readBytes(path));
        EXPECT_FALSE(fs.renamed);
        EXPECT_EQ(dir.names(), (std::set<std::string>{"client.ini", "other-name"}));
    }
}

// Each step of finding, locking and reading the target ends the save before
// anything is written, with the system's reason.
TEST(SaveFaults, EachFailingStepBeforeTheWriteEndsTheSave) {
    for (Step step : {Step::OpenNode, Step::OpenFolder, Step::Stat, Step::StatAt, Step::ReadLink,
                      Step::MayWrite, Step::OpenForReading, Step::Lock, Step::Read}) {
        SCOPED_TRACE(static_cast<int>(step));
        TempDir dir;
        const std::string path = dir.write("client.ini", kOld);
        ASSERT_EQ(::symlink("client.ini", dir.file("link").c_str()), 0);
        FaultyFileSystem fs(step);
        EXPECT_EQ(detailOf(dir.file("link"), [&] { replaceFile(dir.file("link"), kNew, fs); }),
                  "Input/output error");
        EXPECT_EQ(readBytes(path), kOld);
        EXPECT_TRUE(fs.tempPath.empty());
        EXPECT_EQ(dir.names(), (std::set<std::string>{"client.ini", "link"}));
    }
}

// After the rename the new file is in place, whole; the failure is still reported.
TEST(SaveFaults, FailingFolderSyncReportsTheError) {
    TempDir dir;
    std::string path = dir.write("client.ini", kOld);
    FaultyFileSystem fs(Step::SyncFolder);
    EXPECT_EQ(messageOf([&] { replaceFile(path, kNew, fs); }), "Unable to write to " + path);
    EXPECT_EQ(readBytes(path), kNew);
    EXPECT_EQ(dir.names(), std::set<std::string>{"client.ini"});
}

TEST(SaveFaults, TemporaryFileIsPrivateAndBesideTheTarget) {
    TempDir dir;
    std::string path = dir.write("client.ini", kOld);
    ::chmod(path.c_str(), 0644);
    FaultyFileSystem fs(Step::None);
    replaceFile(path, kNew, fs);
    EXPECT_EQ(fs.tempMode, 0600u);
    EXPECT_EQ(fs.tempPath.rfind("client.ini.", 0), 0u) << fs.tempPath;
    EXPECT_EQ(readBytes(path), kNew);
    EXPECT_EQ(modeOf(path) & 07777, 0644u);
}

// Short writes and interrupted calls still write every byte.
class ChoppyFileSystem : public PosixFileSystem {
public:
    ssize_t write(int fd, const char* data, std::size_t size, off_t offset) override {
        if (++calls % 3 == 0) {
            errno = EINTR;
            return -1;
        }
        return PosixFileSystem::write(fd, data, std::min<std::size_t>(size, 7), offset);
    }
    int calls = 0;
};

TEST(SaveFaults, ShortWritesAreCompleted) {
    TempDir dir;
    std::string path = dir.file("client.ini");
    std::string bytes(1000, 'a');
    bytes += "\0end"s;
    ChoppyFileSystem fs;
    replaceFile(path, bytes, fs);
    EXPECT_EQ(readBytes(path), bytes);
}

TEST(SaveFaults, WriteThatMakesNoProgressFails) {
    struct Stuck : PosixFileSystem {
        ssize_t write(int, const char*, std::size_t, off_t) override { return 0; }
    } fs;
    TempDir dir;
    std::string path = dir.write("client.ini", kOld);
    EXPECT_EQ(messageOf([&] { replaceFile(path, kNew, fs); }), "Unable to write to " + path);
    EXPECT_EQ(readBytes(path), kOld);
    EXPECT_EQ(dir.names(), std::set<std::string>{"client.ini"});
}

// A child saves two large contents by turns and is killed at random moments; the
// target is always one of them, whole.
TEST(SaveFaults, KilledSaveLeavesOldOrNewFile) {
    TempDir dir;
    const std::string path = dir.file("client.ini");
    std::string a(3 << 20, 'a'), b(3 << 20, 'b');
    a += "\n[misc]\nk=a\n";
    b += "\n[misc]\nk=b\n";
    // Kill within about three save times, so that some saves finish and some do not.
    const auto timed = std::chrono::steady_clock::now();
    replaceFile(path, a);
    const auto saveTime = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - timed);

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> delayMicroseconds(
        0, std::clamp<long>(3 * saveTime.count(), 1000, 300000));
    bool sawNew = false;
    const auto start = std::chrono::steady_clock::now();
    int kills = 0;
    int strays = 0;
    for (; kills < 30 && std::chrono::steady_clock::now() - start < std::chrono::seconds(8);
         ++kills) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned i = 0;; ++i) {
                try {
                    replaceFile(path, i % 2 ? a : b);
                } catch (...) {
                    ::_exit(1);
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child stopped on its own";
        std::string now = readBytes(path);
        ASSERT_TRUE(now == a || now == b) << "size " << now.size() << " after kill " << kills;
        sawNew = sawNew || now == b;
        // The temporary file has a name only between two calls just before the
        // rename; a kill there leaves it, and it never takes the target's name.
        for (const std::string& name : dir.names())
            if (name != "client.ini") {
                ++strays;
                std::remove(dir.file(name).c_str());
            }
    }
    EXPECT_LE(strays, 2) << "kills that left a temporary file";
    EXPECT_GE(kills, 10);
    EXPECT_TRUE(sawNew) << "no save finished before a kill";
}

TEST(HostileOpens, ReadAsEmptyAndReturnPromptly) {
    TempDir dir;
    ::mkdir(dir.file("folder").c_str(), 0755);
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("/dev/zero", dir.file("zero-link").c_str()), 0);
    ASSERT_EQ(::symlink("loop", dir.file("loop").c_str()), 0);
    for (std::string path : {dir.file("folder"), dir.file("fifo"), "/dev/zero"s, "/dev/null"s,
                             dir.file("zero-link"), dir.file("loop"), dir.file("missing")}) {
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(readForLoad(path), "") << path;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << path;
    }
}

TEST(HostileOpens, UnreadableFileReadsAsEmpty) {
    if (::geteuid() == 0) GTEST_SKIP() << "the superuser reads every file";
    TempDir dir;
    std::string path = dir.write("client.ini", kOld);
    ::chmod(path.c_str(), 0200);
    EXPECT_EQ(readForLoad(path), "");
    EXPECT_EQ(messageOf([&] { readForSave(path); }), "Unable to write to " + path);
}

struct HostileFile {
    const char* name;
    std::string foreign;   // every byte before the owned section
    std::size_t zeros = 0; // that many NUL bytes in front of foreign, made sparse
    std::string eol = "\n";
    std::string keep = "1"; // the start of the foreign key's value
};
void PrintTo(const HostileFile& c, std::ostream* os) {
    *os << c.name;
}

const std::vector<HostileFile> kHostileFiles = {
    {"Sparse100MiB", "\n[keep]\nx=1\n", 100u << 20},
    {"NulBytes", "[keep]\nx=a\0b\n\0\0\n\0[\0]\n"s, 0, "\n", "a\0b"s},
    {"Single10MiBLine", "[keep]\nx=" + std::string(10u << 20, 'y') + "\n", 0, "\n", "yyy"},
    {"CrOnly", "[keep]\rx=1\r\r", 0, "\r"},
    {"Lf", "[keep]\nx=1\n\n", 0, "\n"},
    {"Crlf", "[keep]\r\nx=1\r\n\r\n", 0, "\r\n"},
    {"ByteOrderMark", "\xEF\xBB\xBF[keep]\nx=1\n"},
};

class HostileFiles : public testing::TestWithParam<HostileFile> {};

TEST_P(HostileFiles, OpenAndSaveChangeNoOtherByte) {
    const HostileFile& c = GetParam();
    TempDir dir;
    const std::string path = dir.file("client.ini");
    const std::string owned = "[misc]" + c.eol + "k=old" + c.eol;
    {
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(c.zeros)), 0);
        std::string tail = c.foreign + owned;
        ASSERT_EQ(::pwrite(fd, tail.data(), tail.size(), static_cast<off_t>(c.zeros)),
                  static_cast<ssize_t>(tail.size()));
        ::close(fd);
    }
    {
        IniText loaded(readForLoad(path));
        EXPECT_EQ(loaded.read("misc", "k", "absent"), "old");
        EXPECT_EQ(loaded.read("keep", "x", "absent").substr(0, 3), c.keep);
    }
    {
        IniText target(readForSave(path));
        target.eraseSection("misc");
        target.write("misc", "k", "new");
        replaceFile(path, target.bytes());
    }
    const std::string saved = readBytes(path);
    const std::string expectedTail = c.foreign + "[misc]" + c.eol + "k=new" + c.eol;
    ASSERT_EQ(saved.size(), c.zeros + expectedTail.size());
    EXPECT_TRUE(std::all_of(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(c.zeros),
                            [](char ch) { return ch == '\0'; }));
    EXPECT_TRUE(saved.compare(c.zeros, std::string::npos, expectedTail) == 0);
}

INSTANTIATE_TEST_SUITE_P(Files, HostileFiles, testing::ValuesIn(kHostileFiles), test::RowName());

// Targets that a save must never replace.
TEST(SaveRefusals, FolderFifoDeviceReadOnlyAndMissingFolder) {
    TempDir dir;
    ::mkdir(dir.file("folder").c_str(), 0755);
    ::mkfifo(dir.file("fifo").c_str(), 0644);
    std::string readOnly = dir.write("read-only.ini", kOld);
    ::chmod(readOnly.c_str(), 0444);
    ::symlink("read-only.ini", dir.file("link-to-read-only").c_str());
    ::symlink("/dev/null", dir.file("link-to-device").c_str());
    const auto before = dir.names();
    for (std::string path :
         {dir.file("folder"), dir.file("fifo"), readOnly, dir.file("link-to-read-only"),
          "/dev/null"s, dir.file("link-to-device"), dir.file("no-folder/client.ini"),
          dir.file("folder/")}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(messageOf([&] { readForSave(path); }), "Unable to write to " + path);
        // The seam records any attempt; none may reach the file system.
        FaultyFileSystem fs(Step::None);
        EXPECT_EQ(messageOf([&] { replaceFile(path, kNew, fs); }), "Unable to write to " + path);
        EXPECT_TRUE(fs.tempPath.empty());
        EXPECT_FALSE(fs.renamed);
    }
    EXPECT_EQ(dir.names(), before);
    EXPECT_TRUE(S_ISDIR(modeOf(dir.file("folder"))));
    EXPECT_TRUE(S_ISFIFO(modeOf(dir.file("fifo"))));
    EXPECT_TRUE(S_ISCHR(modeOf("/dev/null")));
    EXPECT_EQ(readBytes(readOnly), kOld);
    EXPECT_EQ(modeOf(readOnly) & 07777, 0444u);
}

TEST(SavePermissions, ExistingModeIsKept) {
    for (mode_t mode : {0600u, 0640u, 0664u, 0606u, 0200u}) {
        // A save reads the file first: only the superuser reads a write-only one.
        if (mode == 0200 && ::geteuid() != 0) continue;
        TempDir dir;
        std::string path = dir.write("client.ini", kOld);
        ::chmod(path.c_str(), mode);
        replaceFile(path, kNew);
        EXPECT_EQ(modeOf(path) & 07777, mode);
        ::chmod(path.c_str(), 0600);
        EXPECT_EQ(readBytes(path), kNew);
    }
}

TEST(SavePermissions, NewFileFollowsTheUmask) {
    for (mode_t mask : {022u, 077u, 002u}) {
        TempDir dir;
        const mode_t old = ::umask(mask);
        std::string path = dir.file("client.ini");
        EXPECT_EQ(readForSave(path), "");
        replaceFile(path, kNew);
        ::umask(old);
        EXPECT_EQ(modeOf(path) & 07777, 0666u & ~mask);
        EXPECT_EQ(readBytes(path), kNew);
    }
}

TEST(SavePermissions, OwnerIsKeptWherePermitted) {
    if (::geteuid() != 0) GTEST_SKIP() << "only the superuser may give a file away";
    TempDir dir;
    std::string path = dir.write("client.ini", kOld);
    ASSERT_EQ(::chown(path.c_str(), 4321, 8765), 0);
    replaceFile(path, kNew);
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 8765u);
}

TEST(SaveLinks, WriteThroughAndStayLinks) {
    TempDir dir;
    ::mkdir(dir.file("real").c_str(), 0755);
    std::string target = dir.write("real/client.ini", kOld);
    ::chmod(target.c_str(), 0640);
    ::symlink("real/client.ini", dir.file("relative").c_str());
    ::symlink(dir.file("relative").c_str(), dir.file("chain").c_str());
    ::symlink("real/new.ini", dir.file("dangling").c_str());
    ::symlink("self", dir.file("self").c_str());

    for (std::string link : {"relative", "chain"}) {
        EXPECT_EQ(readForSave(dir.file(link)), readBytes(target));
        replaceFile(dir.file(link), kNew + link);
        EXPECT_TRUE(S_ISLNK(modeOf(dir.file(link))));
        EXPECT_EQ(readBytes(target), kNew + link);
        EXPECT_EQ(modeOf(target) & 07777, 0640u);
    }
    EXPECT_EQ(readForSave(dir.file("dangling")), "");
    replaceFile(dir.file("dangling"), kNew);
    EXPECT_TRUE(S_ISLNK(modeOf(dir.file("dangling"))));
    EXPECT_EQ(readBytes(dir.file("real/new.ini")), kNew);
    EXPECT_EQ(messageOf([&] { replaceFile(dir.file("self"), kNew); }),
              "Unable to write to " + dir.file("self"));
    EXPECT_EQ(dir.names(),
              (std::set<std::string>{"real", "relative", "chain", "dangling", "self"}));
}

TEST(SaveNames, LongFileNameStillGetsATemporaryFile) {
    TempDir dir;
    std::string path = dir.write(std::string(250, 'n'), kOld);
    replaceFile(path, kNew);
    EXPECT_EQ(readBytes(path), kNew);
    EXPECT_EQ(dir.names().size(), 1u);
}

} // namespace
