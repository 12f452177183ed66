#include "file_io.h"

#include "error.h"
#include "file_system.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qe {

namespace {

constexpr int kMaxLinks = 40;
// Room left in a file name for the temporary suffix ".XXXXXX" (NAME_MAX is 255).
constexpr std::size_t kMaxTempStem = 200;

[[noreturn]] void unableToWrite(const std::string& path) {
    throw ConfigError("Unable to write to " + path);
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path that writes through path's chain of symbolic links land on. A dangling
// link gives the path it names. False for a loop, too many links or an unreadable link.
bool resolveLinks(const std::string& path, std::string& target) {
    target = path;
    for (int hops = 0; hops <= kMaxLinks; ++hops) {
        struct stat st;
        if (::lstat(target.c_str(), &st) != 0) return errno == ENOENT;
        if (!S_ISLNK(st.st_mode)) return true;
        std::string link(static_cast<std::size_t>(std::max<off_t>(st.st_size, 0)) + 256, '\0');
        ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0 || static_cast<std::size_t>(n) >= link.size()) return false;
        link.resize(static_cast<std::size_t>(n));
        target = link.front() == '/' ? link : folderOf(target) + "/" + link;
    }
    return false; // a loop, or too many links
}

// Reads an open file to its end.
bool readAll(int fd, std::size_t sizeHint, std::string& out) {
    out.clear();
    out.reserve(sizeHint);
    char buffer[1 << 16];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        out.append(buffer, static_cast<std::size_t>(n));
    }
}

// Reads a regular file; false for anything else or on any error. The O_NONBLOCK
// open does not wait for a FIFO's writer, and fstat catches a file swapped after
// the first look.
bool readRegularFile(const std::string& path, std::string& out) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    return readAll(fd.get(), static_cast<std::size_t>(st.st_size), out);
}

struct SaveTarget {
    std::string path; // after following symbolic links
    bool exists = false;
    struct stat st {};
};

// The file a save would replace; throws when it may not be replaced.
SaveTarget saveTarget(const std::string& path) {
    SaveTarget target;
    if (!resolveLinks(path, target.path) || nameOf(target.path).empty()) unableToWrite(path);
    struct stat folder;
    if (::stat(folderOf(target.path).c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode))
        unableToWrite(path);
    if (::lstat(target.path.c_str(), &target.st) != 0) {
        if (errno != ENOENT) unableToWrite(path);
        return target;
    }
    target.exists = true;
    if (!S_ISREG(target.st.st_mode) || (target.st.st_mode & 0222) == 0 ||
        ::access(target.path.c_str(), W_OK) != 0)
        unableToWrite(path);
    return target;
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

std::string readForLoad(const std::string& path) {
    std::string bytes;
    if (!readRegularFile(path, bytes)) return {};
    return bytes;
}

std::string readForSave(const std::string& path) {
    const SaveTarget target = saveTarget(path);
    std::string bytes;
    if (target.exists && !readRegularFile(target.path, bytes)) unableToWrite(path);
    return bytes;
}

void replaceFile(const std::string& path, std::string_view bytes) {
    replaceFile(path, bytes, FileSystem::real());
}

void replaceFile(const std::string& path, std::string_view bytes, FileSystem& fs) {
    const SaveTarget target = saveTarget(path);
    const std::string folder = folderOf(target.path);
    std::string temp = folder + "/" + nameOf(target.path).substr(0, kMaxTempStem) + ".XXXXXX";
    int fd = fs.createTemp(temp);
    if (fd < 0) unableToWrite(path);

    auto fail = [&] {
        if (fd >= 0) fs.close(fd);
        fs.remove(temp);
        unableToWrite(path);
    };
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1 << 30);
        const ssize_t n = fs.write(fd, bytes.data() + done, chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail();
        done += static_cast<std::size_t>(n);
    }
    if (target.exists && !fs.setOwner(fd, target.st.st_uid, target.st.st_gid)) {
        // Only the superuser may give a file away; keeping the group may still work.
        if (errno != EPERM) fail();
        if (!fs.setOwner(fd, static_cast<uid_t>(-1), target.st.st_gid) && errno != EPERM) fail();
    }
    const mode_t mode = target.exists ? target.st.st_mode & 07777 : newFileMode();
    if (!fs.setMode(fd, mode) || !fs.sync(fd)) fail();
    const bool closed = fs.close(fd);
    fd = -1;
    if (!closed || !fs.rename(temp, target.path)) fail();
    if (!fs.syncFolder(folder)) unableToWrite(path);
}

} // namespace qe
