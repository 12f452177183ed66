#include "file_io.h"

#include "error.h"
#include "file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qe {

namespace {

constexpr int kMaxLinks = 40;
// Room left in a file name for the temporary suffix ".XXXXXX" (NAME_MAX is 255).
constexpr std::size_t kMaxTempStem = 200;

// The system's text for an error number, in English whatever the user's locale.
std::string reasonOf(int error) {
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", locale_t{});
    return c ? ::strerror_l(error, c) : std::strerror(error);
}

// errno after a failed call; EIO for a call that failed without saying why.
int lastError() {
    return errno != 0 ? errno : EIO;
}

[[noreturn]] void unableToWrite(const std::string& path, std::string detail) {
    throw SaveError(path, std::move(detail));
}

[[noreturn]] void unableToWrite(const std::string& path, int error) {
    unableToWrite(path, reasonOf(error));
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
// link gives the path it names. False, with errno, for a loop, too many links or an
// unreadable link.
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
    errno = ELOOP;
    return false;
}

// Reads an open file from where it stands to its end: sizeHint bytes straight
// into out, then whatever came on top. The end is found with a read into a buffer
// of its own, so that a file of the expected size is never copied.
bool readAll(int fd, std::size_t sizeHint, std::string& out) {
    out.assign(sizeHint, '\0');
    std::size_t done = 0;
    char more[1 << 16];
    for (;;) {
        const bool full = done == out.size();
        const ssize_t n =
            full ? ::read(fd, more, sizeof more) : ::read(fd, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            out.resize(done);
            return true;
        }
        if (full) out.append(more, static_cast<std::size_t>(n));
        done += static_cast<std::size_t>(n);
    }
}

// Whether the open file holds exactly bytes; compared piece by piece.
bool holds(int fd, const struct stat& st, std::string_view bytes) {
    if (static_cast<std::size_t>(st.st_size) != bytes.size()) return false;
    char buffer[1 << 16];
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0 || static_cast<std::size_t>(n) > bytes.size() - done ||
            bytes.compare(done, static_cast<std::size_t>(n),
                          std::string_view(buffer, static_cast<std::size_t>(n))) != 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Reads a regular file; false for anything else or on any error. The O_NONBLOCK
// open does not wait for a FIFO's writer, and fstat catches a file swapped after
// the first look.
bool readRegularFile(const std::string& path, std::string& out) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    errno = EINVAL;
    if (!S_ISREG(st.st_mode)) return false;
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) return false;
    errno = EINVAL;
    return S_ISREG(st.st_mode) && readAll(fd.get(), static_cast<std::size_t>(st.st_size), out);
}

struct SaveTarget {
    std::string path; // after following symbolic links
    bool exists = false;
    struct stat st {};
};

// The file a save would write; throws when it may not be written.
SaveTarget saveTarget(const std::string& path) {
    SaveTarget target;
    if (!resolveLinks(path, target.path)) unableToWrite(path, lastError());
    if (nameOf(target.path).empty()) unableToWrite(path, EISDIR);
    struct stat folder;
    if (::stat(folderOf(target.path).c_str(), &folder) != 0) unableToWrite(path, lastError());
    if (!S_ISDIR(folder.st_mode)) unableToWrite(path, ENOTDIR);
    if (::lstat(target.path.c_str(), &target.st) != 0) {
        if (errno != ENOENT) unableToWrite(path, lastError());
        return target;
    }
    target.exists = true;
    if (S_ISDIR(target.st.st_mode)) unableToWrite(path, EISDIR);
    if (!S_ISREG(target.st.st_mode)) unableToWrite(path, "Not a regular file");
    if ((target.st.st_mode & 0222) == 0) unableToWrite(path, EACCES);
    if (::access(target.path.c_str(), W_OK) != 0) unableToWrite(path, lastError());
    return target;
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Writes all of bytes where the file stands; the error, or 0.
int writeAll(FileSystem& fs, int fd, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1 << 30);
        errno = 0;
        const ssize_t n = fs.write(fd, bytes.data() + done, chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return lastError();
        if (n == 0) return EIO; // no progress
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// A file a save has open: closed at the end; a temporary one is also removed once
// it has a name, unless it has taken the target's place.
class OpenFile {
public:
    OpenFile(FileSystem& fs, int fd, std::string name = {})
        : fs_(fs), fd_(fd), name_(std::move(name)) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile() {
        const int saved = errno;
        if (fd_ >= 0) fs_.close(fd_);
        if (!name_.empty()) fs_.remove(name_);
        errno = saved;
    }
    void named(const std::string& name) { name_ = name; }
    void renamed() { name_.clear(); }

private:
    FileSystem& fs_;
    int fd_;
    std::string name_;
};

// Errors after which a write in place may still succeed: the folder takes no new
// file of ours, the temporary name is too long, there is no room for a second copy,
// or the target cannot be renamed over.
bool inPlaceMayDo(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case ENAMETOOLONG:
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
    case EMLINK:
    case EBUSY:
    case EXDEV:
    case EOPNOTSUPP:
        return true;
    default:
        return false;
    }
}

// Makes the new file the old one's twin in owner, group, mode and extended
// attributes; the error when it cannot, or 0.
int copyIdentity(const SaveTarget& target, int fd, FileSystem& fs) {
    const struct stat& old = target.st;
    struct stat now;
    errno = 0;
    if (::fstat(fd, &now) != 0) return lastError();
    // chown clears setuid and setgid, so the mode comes after it; an ACL's mask and
    // the group bits of the mode are one, so setting either leaves both as they were.
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        !fs.setOwner(fd, old.st_uid, old.st_gid))
        return lastError();
    if (!fs.copyAttributes(target.path, fd) || !fs.setMode(fd, old.st_mode & 07777))
        return lastError();
    // The system drops a setgid bit for a group we are not in without a word.
    if (::fstat(fd, &now) != 0) return lastError();
    if (now.st_uid != old.st_uid || now.st_gid != old.st_gid ||
        (now.st_mode & 07777) != (old.st_mode & 07777))
        return EPERM;
    return 0;
}

// Replaces the target by a new file renamed over it. 0 when done; the error when
// only a write in place can save an existing target; throws on other failures.
int replaceByRename(const std::string& path, const SaveTarget& target, std::string_view bytes,
                    FileSystem& fs) {
    auto failed = [&](int error) {
        if (target.exists && inPlaceMayDo(error)) return error;
        unableToWrite(path, error);
    };
    const std::string folder = folderOf(target.path);
    std::string temp = folder + "/" + nameOf(target.path).substr(0, kMaxTempStem) + ".XXXXXX";
    errno = 0;
    int fd = fs.createUnnamed(folder);
    const bool unnamed = fd >= 0;
    if (fd < 0 && errno == EOPNOTSUPP) fd = fs.createTemp(temp);
    if (fd < 0) return failed(lastError());
    OpenFile file(fs, fd, unnamed ? std::string() : temp);

    if (const int error = writeAll(fs, fd, bytes)) return failed(error);
    if (target.exists) {
        if (const int error = copyIdentity(target, fd, fs)) return error;
    } else if (!fs.setMode(fd, newFileMode())) {
        return failed(lastError());
    }
    if (!fs.sync(fd)) return failed(lastError());
    // From here to the rename, a crash leaves the temporary name behind.
    if (unnamed) {
        if (!fs.linkUnnamed(fd, temp)) return failed(lastError());
        file.named(temp);
    }
    if (!fs.rename(temp, target.path)) return failed(lastError());
    file.renamed();
    if (!fs.syncFolder(folder)) unableToWrite(path, lastError());
    return 0;
}

// Writes bytes over the open file from its start, cuts it to their size and
// flushes it; the error, or 0.
int rewrite(FileSystem& fs, int fd, std::string_view bytes) {
    errno = 0;
    if (::lseek(fd, 0, SEEK_SET) != 0) return lastError();
    if (const int error = writeAll(fs, fd, bytes)) return error;
    if (!fs.truncate(fd, static_cast<off_t>(bytes.size())) || !fs.sync(fd)) return lastError();
    return 0;
}

void writeInPlace(const std::string& path, const SaveTarget& target, std::string_view bytes,
                  FileSystem& fs, std::string_view previous) {
    errno = 0;
    const int fd = fs.openExisting(target.path);
    if (fd < 0) unableToWrite(path, lastError());
    const OpenFile file(fs, fd);
    struct stat st;
    if (::fstat(fd, &st) != 0) unableToWrite(path, lastError());
    if (!S_ISREG(st.st_mode)) unableToWrite(path, "Not a regular file");
    std::string own;
    std::string_view old = previous;
    if (!holds(fd, st, previous)) {
        if (!readAll(fd, static_cast<std::size_t>(st.st_size), own))
            unableToWrite(path, lastError());
        old = own;
    }
    const int error = rewrite(fs, fd, bytes);
    if (error == 0) {
        // Writing clears the setuid and setgid bits of a file that is not ours.
        struct stat now;
        if (::fstat(fd, &now) == 0 && (now.st_mode & 07777) != (st.st_mode & 07777))
            ::fchmod(fd, st.st_mode & 07777);
        return;
    }
    const bool putBack = rewrite(fs, fd, old) == 0;
    unableToWrite(path, reasonOf(error) + "\n" +
                            (putBack ? "The file's old content was put back."
                                     : "The file's old content could not be put back."));
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
    if (target.exists && !readRegularFile(target.path, bytes)) unableToWrite(path, lastError());
    return bytes;
}

void replaceFile(const std::string& path, std::string_view bytes, std::string_view previous) {
    replaceFile(path, bytes, FileSystem::real(), previous);
}

void replaceFile(const std::string& path, std::string_view bytes, FileSystem& fs,
                 std::string_view previous) {
    const SaveTarget target = saveTarget(path);
    if ((!target.exists || target.st.st_nlink == 1) &&
        replaceByRename(path, target, bytes, fs) == 0)
        return;
    writeInPlace(path, target, bytes, fs, previous);
}

} // namespace qe
