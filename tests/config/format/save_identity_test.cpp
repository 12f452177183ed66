// Saves on real files: the file keeps everything but its content, and a save that
// only a write in place can do succeeds.
#include "config/error.h"
#include "config/file_io.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <map>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace qe;
using namespace qe::test;

namespace {

const std::string kOld = "[keep]\nx=1\n[misc]\nk=old\n";
const std::string kNew = "[keep]\nx=1\n[misc]\nk=new\n";
constexpr uid_t kNobody = 65534;

// What a save must keep of a file besides its content.
struct Identity {
    uid_t uid = 0;
    gid_t gid = 0;
    mode_t mode = 0;
    nlink_t links = 0;
    std::map<std::string, std::string> attributes;

    bool operator==(const Identity& o) const {
        return uid == o.uid && gid == o.gid && mode == o.mode && links == o.links &&
               attributes == o.attributes;
    }
};

std::ostream& operator<<(std::ostream& out, const Identity& id) {
    out << id.uid << ":" << id.gid << " " << std::oct << id.mode << std::dec << " links "
        << id.links;
    for (const auto& [name, value] : id.attributes)
        out << " " << name << "(" << value.size() << ")";
    return out;
}

Identity identityOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    Identity id{st.st_uid, st.st_gid, st.st_mode & 07777, st.st_nlink, {}};
    char names[4096];
    const ssize_t size = ::listxattr(path.c_str(), names, sizeof names);
    for (ssize_t pos = 0; pos < size; pos += static_cast<ssize_t>(std::strlen(names + pos)) + 1) {
        char value[4096];
        const ssize_t n = ::getxattr(path.c_str(), names + pos, value, sizeof value);
        id.attributes[names + pos] =
            std::string(value, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
    }
    return id;
}

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_ino;
}

// An access ACL as the kernel keeps it (little-endian): owner rw-, user nobody rw-,
// group r--, mask rw-, others ---.
std::string aclWithUserEntry() {
    std::string value;
    auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            value += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put(2, 4); // version
    const std::uint32_t none = 0xFFFFFFFF;
    for (auto [tag, perm, id] : {std::array<std::uint32_t, 3>{0x01, 6, none},
                                 {0x02, 6, kNobody},
                                 {0x04, 4, none},
                                 {0x10, 6, none},
                                 {0x20, 0, none}}) {
        put(tag, 2);
        put(perm, 2);
        put(id, 4);
    }
    return value;
}

// Sets an extended attribute; the reason to skip when the file system holds none.
std::string setAttribute(const std::string& path, const char* name, const std::string& value) {
    if (::setxattr(path.c_str(), name, value.data(), value.size(), 0) == 0) return "";
    return std::string("the file system takes no ") + name + ": " + std::strerror(errno);
}

struct IdentityCase {
    const char* name;
    // Gives the file the property; returns the reason to skip, or "".
    std::function<std::string(const std::string& path, const TempDir& dir)> setUp;
};

const IdentityCase kIdentityCases[] = {
    {"AclEntry",
     [](const std::string& path, const TempDir&) {
         ::chmod(path.c_str(), 0640);
         return setAttribute(path, "system.posix_acl_access", aclWithUserEntry());
     }},
    {"UserAttribute",
     [](const std::string& path, const TempDir&) {
         return setAttribute(path, "user.note", "kept\0with a NUL");
     }},
    {"HardLink",
     [](const std::string& path, const TempDir& dir) {
         return ::link(path.c_str(), dir.file("second-name").c_str()) == 0 ? ""
                                                                           : std::strerror(errno);
     }},
    {"OwnerAndGroup",
     [](const std::string& path, const TempDir&) -> std::string {
         if (::geteuid() != 0) return "only the superuser may give a file away";
         return ::chown(path.c_str(), 4321, 8765) == 0 ? "" : std::strerror(errno);
     }},
    {"SetuidAndSetgid",
     [](const std::string& path, const TempDir&) {
         ::chmod(path.c_str(), 06755);
         return "";
     }},
    {"Sticky",
     [](const std::string& path, const TempDir&) {
         ::chmod(path.c_str(), 01604);
         return "";
     }},
};

class SaveIdentity : public testing::TestWithParam<IdentityCase> {};

TEST_P(SaveIdentity, FileKeepsAllButItsContent) {
    TempDir dir;
    const std::string path = dir.write("client.ini", kOld);
    const std::string skip = GetParam().setUp(path, dir);
    if (!skip.empty()) GTEST_SKIP() << skip;
    const Identity before = identityOf(path);
    const auto names = dir.names();
    const ino_t inode = inodeOf(path);
    replaceFile(path, kNew);
    EXPECT_EQ(identityOf(path), before);
    // Only a file with a second name has to be written in place.
    EXPECT_EQ(inodeOf(path) != inode, before.links == 1);
    EXPECT_EQ(readBytes(path), kNew);
    for (const std::string& name : names)
        EXPECT_EQ(readBytes(dir.file(name)), kNew) << name;
    EXPECT_EQ(dir.names(), names);
}

INSTANTIATE_TEST_SUITE_P(Files, SaveIdentity, testing::ValuesIn(kIdentityCases),
                         [](const auto& param) { return std::string(param.param.name); });

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// Runs action in a child process as user and group nobody; true when it threw nothing.
bool asNobody(const std::function<void()>& action) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
            ::setresuid(kNobody, kNobody, kNobody) != 0)
            ::_exit(3);
        try {
            action();
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Another user's file that anyone may write: the save writes it in place, so it
// keeps its owner, whatever the folder allows.
TEST(SaveAsAnotherUser, WritableFileOfSomeoneElse) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to act as a second user";
    for (mode_t folderMode : {0777u, 01777u, 0755u, 0711u}) {
        SCOPED_TRACE(folderMode);
        TempDir dir;
        ::chmod(dir.path().c_str(), 0755);
        const std::string folder = dir.file("folder");
        ::mkdir(folder.c_str(), 0700);
        ::chmod(folder.c_str(), folderMode);
        const std::string path = dir.write("folder/client.ini", kOld);
        ::chmod(path.c_str(), 0666);
        const Identity before = identityOf(path);
        EXPECT_TRUE(asNobody([&] { replaceFile(path, kNew); }));
        EXPECT_EQ(identityOf(path), before);
        EXPECT_EQ(readBytes(path), kNew);
        EXPECT_EQ(namesIn(folder), std::set<std::string>{"client.ini"});
    }
}

// A file system with room for the file once: the temporary copy does not fit, the
// write in place does.
TEST(SaveInPlace, DiskWithRoomForOneCopy) {
    TempDir dir;
    const std::string mount = dir.file("small");
    ::mkdir(mount.c_str(), 0755);
    if (::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs: " << std::strerror(errno);
    const std::string old = kOld + std::string(40 << 10, 'o');
    const std::string bytes = kNew + std::string(40 << 10, 'n');
    const std::string path = dir.write("small/client.ini", old);
    replaceFile(path, bytes);
    EXPECT_EQ(readBytes(path), bytes);
    EXPECT_EQ(namesIn(mount), std::set<std::string>{"client.ini"});
    ::umount2(mount.c_str(), MNT_DETACH);
}

// A path so long that the temporary name beside it would pass PATH_MAX.
TEST(SaveInPlace, PathNearTheLongestAllowed) {
    TempDir dir;
    std::string folder = dir.path();
    while (folder.size() + 2 * 201 < PATH_MAX) {
        folder += "/" + std::string(200, 'd');
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0) << std::strerror(errno);
    }
    const std::string name = std::string(PATH_MAX - 3 - folder.size(), 'n');
    const std::string path = dir.write(folder.substr(dir.path().size() + 1) + "/" + name, kOld);
    ASSERT_EQ(readBytes(path), kOld);
    replaceFile(path, kNew);
    EXPECT_EQ(readBytes(path), kNew);
    EXPECT_EQ(namesIn(folder).size(), 1u);
}

} // namespace
