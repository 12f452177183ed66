#include "file_io.h"

#include "file_content.h"
#include "file_system.h"
#include "save_failure.h"
#include "save_target.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qe {

namespace {

// A read that failed with error: Missing when nothing stands at path.
FileRead failedRead(const std::string& path, int error) {
    struct stat st;
    const bool missing = ::lstat(path.c_str(), &st) != 0;
    return {{}, missing ? ReadFault::Missing : ReadFault::Unreadable, reasonOf(error)};
}

FileRead notRegular(const struct stat& st) {
    return {{}, ReadFault::NotRegular, notRegularReason(S_ISDIR(st.st_mode))};
}

} // namespace

// The first stat keeps a device from being opened; the O_NONBLOCK open does not
// wait for a FIFO's writer, and fstat catches a file swapped after the first look.
FileRead readFile(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return failedRead(path, lastError());
    if (!S_ISREG(st.st_mode)) return notRegular(st);
    FileSystem& fs = FileSystem::real();
    errno = 0;
    const Descriptor fd(fs, ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid() || !fs.stat(fd.get(), st)) return failedRead(path, lastError());
    if (!S_ISREG(st.st_mode)) return notRegular(st);
    FileRead read;
    errno = 0;
    if (!readAll(fs, fd.get(), static_cast<std::size_t>(st.st_size), read.bytes))
        return failedRead(path, lastError());
    return read;
}

std::string readForLoad(const std::string& path) {
    return readFile(path).bytes;
}

std::string readForSave(const std::string& path) {
    return SaveTarget(path).bytes();
}

void replaceFile(const std::string& path, std::string_view bytes) {
    replaceFile(path, bytes, FileSystem::real());
}

void replaceFile(const std::string& path, std::string_view bytes, FileSystem& fs) {
    SaveTarget target(path, {}, fs);
    target.replace(bytes);
}

} // namespace qe
