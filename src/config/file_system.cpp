#include "file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace qe {

namespace {

// The answer of a call that reports failure in errno: 0 when it succeeded.
int answer(bool ok) {
    return ok ? 0 : errno != 0 ? errno : EIO;
}

// A descriptor the call opened, or its error.
int opened(int result, int& fd) {
    fd = result;
    return answer(result >= 0);
}

// A count the call gave, or its error.
int counted(ssize_t result, std::size_t& done) {
    done = result > 0 ? static_cast<std::size_t>(result) : 0;
    return answer(result >= 0);
}

// flistxattr and fgetxattr alike: list reads no name.
using Fetch = ssize_t (*)(int fd, const char* name, void* out, std::size_t size);

ssize_t listNames(int fd, const char*, void* out, std::size_t size) {
    return ::flistxattr(fd, static_cast<char*>(out), size);
}

// What fetch gives for name of fd, asked first for its size and again when it grew
// meanwhile (ERANGE: an attribute came); the error, or 0.
int fetchAll(Fetch fetch, int fd, const char* name, std::string& out) {
    for (;;) {
        const ssize_t size = fetch(fd, name, nullptr, 0);
        if (size < 0) return errno;
        out.resize(static_cast<std::size_t>(size));
        if (size == 0) return 0;
        const ssize_t got = fetch(fd, name, out.data(), out.size());
        if (got >= 0) {
            out.resize(static_cast<std::size_t>(got));
            return 0;
        }
        if (errno != ERANGE) return errno;
    }
}

// The names of fd's extended attributes; none where the file system has none.
int attributeNames(int fd, std::vector<std::string>& names) {
    std::string list;
    names.clear();
    const int error = fetchAll(listNames, fd, nullptr, list);
    if (error != 0) return error == ENOTSUP ? 0 : error;
    for (std::size_t pos = 0; pos < list.size();) {
        const std::size_t end = std::min(list.find('\0', pos), list.size());
        names.push_back(list.substr(pos, end - pos));
        pos = end + 1;
    }
    return 0;
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Removes the attributes of fd that are not wanted, such as a default ACL a new
// file inherits from its folder.
int removeOthers(int fd, const std::vector<std::string>& wanted) {
    std::vector<std::string> present;
    if (const int error = attributeNames(fd, present)) return error;
    for (const std::string& name : present)
        if (!contains(wanted, name) && ::fremovexattr(fd, name.c_str()) != 0) return errno;
    return 0;
}

// Gives `to` the value of attribute name of `from`. Setting an equal value may need
// rights that leaving it does not.
int copyAttribute(int from, int to, const std::string& name) {
    std::string value, own;
    if (const int error = fetchAll(::fgetxattr, from, name.c_str(), value)) return error;
    if (fetchAll(::fgetxattr, to, name.c_str(), own) == 0 && own == value) return 0;
    return answer(::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) == 0);
}

void fillSuffix(std::string& pattern) {
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
    for (std::size_t i = pattern.size() - std::min<std::size_t>(pattern.size(), 6);
         i < pattern.size(); ++i)
        pattern[i] = kChars[pick(random)];
}

} // namespace

int PosixFileSystem::openNode(int folder, const std::string& name, int& fd) {
    return opened(::openat(folder, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC), fd);
}

int PosixFileSystem::openFolder(int folder, const std::string& name, int& fd) {
    return opened(::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC),
                  fd);
}

int PosixFileSystem::stat(int fd, struct stat& st) {
    return answer(::fstat(fd, &st) == 0);
}

int PosixFileSystem::statAt(int folder, const std::string& name, struct stat& st) {
    return answer(::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0);
}

int PosixFileSystem::readLink(int link, std::string& text) {
    for (std::size_t size = 256;; size *= 2) {
        text.resize(size);
        const ssize_t n = ::readlinkat(link, "", text.data(), size);
        if (n < 0) return answer(false);
        if (static_cast<std::size_t>(n) < size) {
            text.resize(static_cast<std::size_t>(n));
            return 0;
        }
    }
}

int PosixFileSystem::mayWrite(int folder, const std::string& name) {
    return answer(::faccessat(folder, name.c_str(), W_OK, 0) == 0);
}

int PosixFileSystem::openForReading(int folder, const std::string& name, int& fd) {
    return opened(::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC),
                  fd);
}

// flock cannot wait with a time limit, so the lock is tried again after pauses
// that grow to a twentieth of a second.
int PosixFileSystem::lock(int fd, std::chrono::steady_clock::time_point deadline) {
    using namespace std::chrono_literals;
    std::chrono::steady_clock::duration pause = 1ms;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) return answer(false);
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return EWOULDBLOCK;
        std::this_thread::sleep_for(std::min(pause, deadline - now));
        pause = std::min<std::chrono::steady_clock::duration>(pause * 2, 50ms);
    }
}

int PosixFileSystem::read(int fd, char* data, std::size_t size, off_t offset, std::size_t& done) {
    return counted(::pread(fd, data, size, offset), done);
}

int PosixFileSystem::createUnnamed(int folder, int& fd) {
    fd = -1;
    // Naming the file later goes through /proc/self/fd.
    if (::access("/proc/self/fd", X_OK) != 0) return EOPNOTSUPP;
    const int error = opened(::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600), fd);
    // Kernels and file systems without O_TMPFILE give EISDIR or EOPNOTSUPP.
    return error == EISDIR || error == EINVAL ? EOPNOTSUPP : error;
}

int PosixFileSystem::linkUnnamed(int fd, int folder, std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        fillSuffix(name);
        if (::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return 0;
        if (errno != EEXIST) return answer(false);
    }
    return EEXIST;
}

int PosixFileSystem::createTemp(int folder, std::string& name, int& fd) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        fillSuffix(name);
        const int error = opened(::openat(folder, name.c_str(),
                                          O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600),
                                 fd);
        if (error != EEXIST) return error;
    }
    return EEXIST;
}

int PosixFileSystem::openForWriting(int folder, const std::string& name, int& fd) {
    return opened(::openat(folder, name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC), fd);
}

int PosixFileSystem::write(int fd, const char* data, std::size_t size, off_t offset,
                           std::size_t& done) {
    return counted(::pwrite(fd, data, size, offset), done);
}

int PosixFileSystem::truncate(int fd, off_t size) {
    return answer(::ftruncate(fd, size) == 0);
}

int PosixFileSystem::setOwner(int fd, uid_t owner, gid_t group) {
    return answer(::fchown(fd, owner, group) == 0);
}

int PosixFileSystem::setMode(int fd, mode_t mode) {
    return answer(::fchmod(fd, mode) == 0);
}

int PosixFileSystem::copyAttributes(int from, int to) {
    std::vector<std::string> wanted;
    if (const int error = attributeNames(from, wanted)) return error;
    if (const int error = removeOthers(to, wanted)) return error;
    for (const std::string& name : wanted)
        if (const int error = copyAttribute(from, to, name)) return error;
    return 0;
}

int PosixFileSystem::sync(int fd) {
    return answer(::fsync(fd) == 0);
}

int PosixFileSystem::close(int fd) {
    // After close the descriptor is gone even when it reports EINTR; do not retry.
    return answer(::close(fd) == 0 || errno == EINTR);
}

int PosixFileSystem::rename(int folder, const std::string& from, const std::string& to) {
    return answer(::renameat(folder, from.c_str(), folder, to.c_str()) == 0);
}

int PosixFileSystem::syncFolder(int folder) {
    // Some file systems cannot sync a folder; they keep renames safe on their own.
    return answer(::fsync(folder) == 0 || errno == EINVAL || errno == ENOTSUP);
}

int PosixFileSystem::remove(int folder, const std::string& name) {
    return answer(::unlinkat(folder, name.c_str(), 0) == 0);
}

// The mask can only be read by setting it; it is put back at once.
mode_t PosixFileSystem::umask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

FileSystem& FileSystem::real() {
    static PosixFileSystem system;
    return system;
}

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
    if (this != &other) {
        close();
        fs_ = other.fs_;
        fd_ = other.release();
    }
    return *this;
}

int Descriptor::close() {
    return fd_ < 0 ? 0 : fs_->close(release());
}

} // namespace qe
