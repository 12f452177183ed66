#include "file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <sys/xattr.h>
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

int PosixFileSystem::createUnnamed(const std::string& folder) {
    // Naming the file later goes through /proc/self/fd.
    if (::access("/proc/self/fd", X_OK) != 0) {
        errno = EOPNOTSUPP;
        return -1;
    }
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    // Kernels and file systems without O_TMPFILE give EISDIR or EOPNOTSUPP.
    if (fd < 0 && (errno == EISDIR || errno == EINVAL)) errno = EOPNOTSUPP;
    return fd;
}

bool PosixFileSystem::linkUnnamed(int fd, std::string& pattern) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        fillSuffix(pattern);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, pattern.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST) return false;
    }
    return false;
}

int PosixFileSystem::createTemp(std::string& pattern) {
    // mkostemp creates with O_CREAT | O_EXCL and mode 0600.
    return ::mkostemp(pattern.data(), O_CLOEXEC);
}

int PosixFileSystem::openExisting(const std::string& path) {
    return ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
}

ssize_t PosixFileSystem::write(int fd, const char* data, std::size_t size) {
    return ::write(fd, data, size);
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

bool PosixFileSystem::copyAttributes(const std::string& from, int fd) {
    std::string wanted, present;
    if (!attributeNames(
            [&](char* list, std::size_t size) { return ::listxattr(from.c_str(), list, size); },
            wanted) ||
        !attributeNames([&](char* list, std::size_t size) { return ::flistxattr(fd, list, size); },
                        present))
        return false;
    bool ok = true;
    // A new file may inherit attributes, such as a default ACL of its folder.
    const std::string nul(1, '\0');
    forNames(present, [&](const std::string& name) {
        if (ok && (nul + wanted).find(nul + name + nul) == std::string::npos &&
            ::fremovexattr(fd, name.c_str()) != 0)
            ok = false;
    });
    forNames(wanted, [&](const std::string& name) {
        std::string value, own;
        if (!ok) return;
        if (!attributeValue(
                [&](char* v, std::size_t size) {
                    return ::getxattr(from.c_str(), name.c_str(), v, size);
                },
                value)) {
            ok = false;
            return;
        }
        // Setting an equal value may need rights that leaving it does not.
        if (attributeValue(
                [&](char* v, std::size_t size) { return ::fgetxattr(fd, name.c_str(), v, size); },
                own) &&
            own == value)
            return;
        ok = ::fsetxattr(fd, name.c_str(), value.data(), value.size(), 0) == 0;
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

bool PosixFileSystem::rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool PosixFileSystem::syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    // Some file systems cannot sync a folder; they keep renames safe on their own.
    bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
    int saved = errno;
    ::close(fd);
    errno = saved;
    return ok;
}

bool PosixFileSystem::remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

FileSystem& FileSystem::real() {
    static PosixFileSystem system;
    return system;
}

} // namespace qe
