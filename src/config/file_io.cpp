#include "file_io.h"

#include "file_content.h"
#include "file_system.h"
#include "save_target.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qe {

namespace {

// Reads a regular file; false for anything else or on any error. The O_NONBLOCK
// open does not wait for a FIFO's writer, and fstat catches a file swapped after
// the first look.
bool readRegularFile(const std::string& path, std::string& out) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    FileSystem& fs = FileSystem::real();
    const Descriptor fd(fs, ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    return fd.valid() && fs.stat(fd.get(), st) && S_ISREG(st.st_mode) &&
           readAll(fs, fd.get(), static_cast<std::size_t>(st.st_size), out);
}

} // namespace

std::string readForLoad(const std::string& path) {
    std::string bytes;
    if (!readRegularFile(path, bytes)) return {};
    return bytes;
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
