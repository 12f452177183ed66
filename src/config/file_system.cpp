#include "file_system.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qe {

int PosixFileSystem::createTemp(std::string& pattern) {
    // mkostemp creates with O_CREAT | O_EXCL and mode 0600.
    return ::mkostemp(pattern.data(), O_CLOEXEC);
}

ssize_t PosixFileSystem::write(int fd, const char* data, std::size_t size) {
    return ::write(fd, data, size);
}

bool PosixFileSystem::setOwner(int fd, uid_t owner, gid_t group) {
    return ::fchown(fd, owner, group) == 0;
}

bool PosixFileSystem::setMode(int fd, mode_t mode) {
    return ::fchmod(fd, mode) == 0;
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
