#include "save_target.h"

#include "file_io.h"
#include "file_system.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qe {

// A first version: the lock on the path's file (or folder), the read and the
// replace by path.
struct SaveTarget::State {
    std::string path;
    FileSystem* fs;
    int lockFd = -1;
    bool exists = false;
    std::string bytes;
    unsigned newFileMode;
};

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int lockPath(const std::string& path) {
    for (;;) {
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) fd = ::open(folderOf(path).c_str(), O_RDONLY | O_CLOEXEC | O_DIRECTORY);
        if (fd < 0) return -1;
        ::flock(fd, LOCK_EX);
        struct stat held {
        }, now{};
        if (::fstat(fd, &held) == 0 && (::stat(path.c_str(), &now) != 0 || S_ISDIR(held.st_mode) ||
                                        (now.st_dev == held.st_dev && now.st_ino == held.st_ino)))
            return fd;
        ::close(fd);
    }
}

} // namespace

SaveTarget::SaveTarget(const std::string& path, TargetOptions options)
    : SaveTarget(path, options, FileSystem::real()) {}

SaveTarget::SaveTarget(const std::string& path, TargetOptions options, FileSystem& fs)
    : state_(new State{path, &fs, -1, false, {}, options.newFileMode}) {
    state_->lockFd = lockPath(path);
    struct stat st {};
    state_->exists = ::stat(path.c_str(), &st) == 0;
    try {
        state_->bytes = readForSave(path);
    } catch (...) {
        if (state_->lockFd >= 0) ::close(state_->lockFd);
        delete state_;
        throw;
    }
}

SaveTarget::~SaveTarget() {
    if (state_->lockFd >= 0) ::close(state_->lockFd);
    delete state_;
}

bool SaveTarget::exists() const {
    return state_->exists;
}

const std::string& SaveTarget::bytes() const {
    return state_->bytes;
}

void SaveTarget::replace(std::string_view bytes) {
    if (state_->exists && bytes == state_->bytes) return;
    replaceFile(state_->path, bytes, *state_->fs, state_->bytes);
    if (!state_->exists && state_->newFileMode)
        ::chmod(state_->path.c_str(), static_cast<mode_t>(state_->newFileMode));
}

} // namespace qe
