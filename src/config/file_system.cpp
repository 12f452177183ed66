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

namespace qe {

namespace {

// The names of the extended attributes, each ended by NUL; empty where the file
// system has none. list is listxattr or flistxattr with the file bound.
template <typename List> bool attributeNames(List list, std::string& names) {
    names.clear();
    for (;;) {
        const ssize_t size = list(nullptr, 0);
        if (size < 0) return errno == ENOTSUP;
        names.resize(static_cast<std::size_t>(size));
        if (size == 0) return true;
        const ssize_t got = list(names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE) return false; // ERANGE: an attribute came meanwhile
    }
}

template <typename Get> bool attributeValue(Get get, std::string& value) {
    for (;;) {
        const ssize_t size = get(nullptr, 0);
        if (size < 0) return false;
        value.resize(static_cast<std::size_t>(size));
        const ssize_t got = get(value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE) return false;
    }
}

template <typename Visit> void forNames(const std::string& names, Visit visit) {
    for (std::size_t pos = 0; pos < names.size();) {
        const std::size_t end = std::min(names.find('\0', pos), names.size());
        visit(names.substr(pos, end - pos));
        pos = end + 1;
    }
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

int PosixFileSystem::openNode(int folder, const std::string& name) {
    return ::openat(folder, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
}

int PosixFileSystem::openFolder(int folder, const std::string& name) {
    return ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool PosixFileSystem::stat(int fd, struct stat& st) {
    return ::fstat(fd, &st) == 0;
}

bool PosixFileSystem::statAt(int folder, const std::string& name, struct stat& st) {
    return ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

bool PosixFileSystem::readLink(int link, std::string& text) {
    for (std::size_t size = 256;; size *= 2) {
        text.resize(size);
        const ssize_t n = ::readlinkat(link, "", text.data(), size);
        if (n < 0) return false;
        if (static_cast<std::size_t>(n) < size) {
            text.resize(static_cast<std::size_t>(n));
            return true;
        }
    }
}

bool PosixFileSystem::mayWrite(int folder, const std::string& name) {
    return ::faccessat(folder, name.c_str(), W_OK, 0) == 0;
}

int PosixFileSystem::openForReading(int folder, const std::string& name) {
    return ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
}

// flock cannot wait with a time limit, so the lock is tried again after pauses
// that grow to a twentieth of a second.
bool PosixFileSystem::lock(int fd, std::chrono::steady_clock::time_point deadline) {
    using namespace std::chrono_literals;
    std::chrono::steady_clock::duration pause = 1ms;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) return false;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            errno = EWOULDBLOCK;
            return false;
        }
        std::this_thread::sleep_for(std::min(pause, deadline - now));
        pause = std::min<std::chrono::steady_clock::duration>(pause * 2, 50ms);
    }
}

ssize_t PosixFileSystem::read(int fd, char* data, std::size_t size, off_t offset) {
    return ::pread(fd, data, size, offset);
}

int PosixFileSystem::createUnnamed(int folder) {
    // Naming the file later goes through /proc/self/fd.
    if (::access("/proc/self/fd", X_OK) != 0) {
        errno = EOPNOTSUPP;
        return -1;
    }
    const int fd = ::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    // Kernels and file systems without O_TMPFILE give EISDIR or EOPNOTSUPP.
    if (fd < 0 && (errno == EISDIR || errno == EINVAL)) errno = EOPNOTSUPP;
    return fd;
}

bool PosixFileSystem::linkUnnamed(int fd, int folder, std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        fillSuffix(name);
        if (::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

int PosixFileSystem::createTemp(int folder, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        fillSuffix(name);
        const int fd = ::openat(folder, name.c_str(),
                                O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

int PosixFileSystem::openForWriting(int folder, const std::string& name) {
    return ::openat(folder, name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
}

ssize_t PosixFileSystem::write(int fd, const char* data, std::size_t size, off_t offset) {
    return ::pwrite(fd, data, size, offset);
}

bool PosixFileSystem::truncate(int fd, off_t size) {
    return ::ftruncate(fd, size) == 0;
}

bool PosixFileSystem::setOwner(int fd, uid_t owner, gid_t group) {
    return ::fchown(fd, owner, group) == 0;
}

bool PosixFileSystem::setMode(int fd, mode_t mode) {
    return ::fchmod(fd, mode) == 0;
}

bool PosixFileSystem::copyAttributes(int from, int to) {
    std::string wanted, present;
    if (!attributeNames(
            [&](char* list, std::size_t size) { return ::flistxattr(from, list, size); }, wanted) ||
        !attributeNames([&](char* list, std::size_t size) { return ::flistxattr(to, list, size); },
                        present))
        return false;
    bool ok = true;
    // A new file may inherit attributes, such as a default ACL of its folder.
    const std::string nul(1, '\0');
    forNames(present, [&](const std::string& name) {
        if (ok && (nul + wanted).find(nul + name + nul) == std::string::npos &&
            ::fremovexattr(to, name.c_str()) != 0)
            ok = false;
    });
    forNames(wanted, [&](const std::string& name) {
        std::string value, own;
        if (!ok) return;
        if (!attributeValue(
                [&](char* v, std::size_t size) { return ::fgetxattr(from, name.c_str(), v, size); },
                value)) {
            ok = false;
            return;
        }
        // Setting an equal value may need rights that leaving it does not.
        if (attributeValue(
                [&](char* v, std::size_t size) { return ::fgetxattr(to, name.c_str(), v, size); },
                own) &&
            own == value)
            return;
        ok = ::fsetxattr(to, name.c_str(), value.data(), value.size(), 0) == 0;
    });
    return ok;
}

bool PosixFileSystem::sync(int fd) {
    return ::fsync(fd) == 0;
}

bool PosixFileSystem::close(int fd) {
    // After close the descriptor is gone even when it reports EINTR; do not retry.
    return ::close(fd) == 0 || errno == EINTR;
}

bool PosixFileSystem::rename(int folder, const std::string& from, const std::string& to) {
    return ::renameat(folder, from.c_str(), folder, to.c_str()) == 0;
}

bool PosixFileSystem::syncFolder(int folder) {
    // Some file systems cannot sync a folder; they keep renames safe on their own.
    return ::fsync(folder) == 0 || errno == EINVAL || errno == ENOTSUP;
}

bool PosixFileSystem::remove(int folder, const std::string& name) {
    return ::unlinkat(folder, name.c_str(), 0) == 0;
}

FileSystem& FileSystem::real() {
    static PosixFileSystem system;
    return system;
}

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
    if (this != &other) {
        drop();
        fs_ = other.fs_;
        fd_ = other.release();
    }
    return *this;
}

bool Descriptor::close() {
    return fd_ < 0 || fs_->close(release());
}

void Descriptor::drop() {
    const int saved = errno;
    close();
    errno = saved;
}

} // namespace qe
