#include "file_replace.h"

#include "error.h"
#include "file_content.h"
#include "save_failure.h"

#include <cerrno>
#include <sys/stat.h>

namespace qe {

namespace {

mode_t newFileMode(const TargetOptions& options) {
    if (options.newFileMode != 0) return static_cast<mode_t>(options.newFileMode & 07777);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Errors after which a write in place may still succeed: the folder takes no new
// file of ours, the temporary name is too long, there is no room for a second copy,
// the new file cannot be given the old one's identity, or the target cannot be
// renamed over.
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
int copyIdentity(const HeldFile& held, int fd) {
    FileSystem& fs = held.fs;
    const struct stat& old = held.st;
    struct stat now;
    errno = 0;
    if (!fs.stat(fd, now)) return lastError();
    // chown clears setuid and setgid, so the mode comes after it; an ACL's mask and
    // the group bits of the mode are one, so setting either leaves both as they were.
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        !fs.setOwner(fd, old.st_uid, old.st_gid))
        return lastError();
    if (!fs.copyAttributes(held.file.get(), fd) || !fs.setMode(fd, old.st_mode & 07777))
        return lastError();
    // The system drops a setgid bit for a group we are not in without a word.
    if (!fs.stat(fd, now)) return lastError();
    if (now.st_uid != old.st_uid || now.st_gid != old.st_gid ||
        (now.st_mode & 07777) != (old.st_mode & 07777))
        return EPERM;
    return 0;
}

// Gives the new file the old one's identity, or the new-file mode; the error, or 0.
int setIdentity(const HeldFile& held, int fd) {
    if (held.file.valid()) return copyIdentity(held, fd);
    errno = 0;
    return held.fs.setMode(fd, newFileMode(held.options)) ? 0 : lastError();
}

// Replaces the target by a new file renamed over it. 0 when done; the error when
// only a write in place can save an existing target; throws on other failures.
int replaceByRename(HeldFile& held, std::string_view bytes) {
    FileSystem& fs = held.fs;
    const int folder = held.folder.get();
    auto failed = [&](int error) {
        if (held.file.valid() && inPlaceMayDo(error)) return error;
        unableToWrite(held.path, error);
    };
    std::string temp = tempPattern(held);
    bool unnamed = false;
    Descriptor file = createNew(held, temp, unnamed);
    if (!file.valid()) return failed(lastError());
    TempName name(fs, folder);
    if (!unnamed) name.named(temp);

    if (const int error = writeAll(fs, file.get(), bytes)) return failed(error);
    if (const int error = setIdentity(held, file.get())) return failed(error);
    errno = 0;
    // Locked before it has the target's name, so that the next writer waits for us.
    if (!fs.sync(file.get()) || !takeLock(held, file.get())) return failed(lastError());
    // From here to the rename, a crash leaves the temporary name behind.
    if (unnamed) {
        if (!fs.linkUnnamed(file.get(), folder, temp)) return failed(lastError());
        name.named(temp);
    }
    if (!fs.rename(folder, temp, held.name)) return failed(lastError());
    name.renamed();
    struct stat st {};
    const bool known = fs.stat(file.get(), st);
    held.file = std::move(file);
    held.st = st;
    errno = 0;
    if (!known || !fs.syncFolder(folder)) unableToWrite(held.path, lastError());
    return 0;
}

// Writes bytes over the open file from its start, cuts it to their size, gives it
// back mode (writing clears the setuid and setgid bits of a file that is not ours)
// and flushes it; the error, or 0.
int rewrite(FileSystem& fs, int fd, std::string_view bytes, mode_t mode) {
    if (const int error = writeAll(fs, fd, bytes)) return error;
    errno = 0;
    struct stat now;
    if (!fs.truncate(fd, static_cast<off_t>(bytes.size())) || !fs.stat(fd, now)) return lastError();
    if ((now.st_mode & 07777) != mode && !fs.setMode(fd, mode)) return lastError();
    if (!fs.sync(fd)) return lastError();
    return 0;
}

void writeInPlace(HeldFile& held, std::string_view bytes) {
    FileSystem& fs = held.fs;
    errno = 0;
    const Descriptor file(fs, fs.openForWriting(held.folder.get(), held.name));
    struct stat st;
    if (!file.valid() || !fs.stat(file.get(), st)) unableToWrite(held.path, lastError());
    if (!sameFile(st, held.st))
        unableToWrite(held.path, "The file was replaced while it was saved.");
    std::string own;
    std::string_view old = held.bytes;
    if (!holds(fs, file.get(), static_cast<std::size_t>(st.st_size), held.bytes)) {
        if (!readAll(fs, file.get(), static_cast<std::size_t>(st.st_size), own))
            unableToWrite(held.path, lastError());
        old = own;
    }
    const mode_t mode = st.st_mode & 07777;
    const int error = rewrite(fs, file.get(), bytes, mode);
    if (error == 0) return;
    const bool putBack = rewrite(fs, file.get(), old, mode) == 0;
    unableToWrite(held.path, reasonOf(error) + "\n" +
                                 (putBack ? "The file's old content was put back."
                                          : "The file's old content could not be put back."));
}

} // namespace

TempName::~TempName() {
    const int saved = errno;
    if (!name_.empty()) fs_.remove(folder_, name_);
    errno = saved;
}

std::string tempPattern(const HeldFile& held) {
    // Room left in a file name for the suffix (NAME_MAX is 255).
    constexpr std::size_t kMaxTempStem = 200;
    return held.name.substr(0, kMaxTempStem) + ".XXXXXX";
}

Descriptor createNew(HeldFile& held, std::string& temp, bool& unnamed) {
    FileSystem& fs = held.fs;
    errno = 0;
    Descriptor file(fs, fs.createUnnamed(held.folder.get()));
    unnamed = file.valid();
    if (!unnamed && errno == EOPNOTSUPP)
        file = Descriptor(fs, fs.createTemp(held.folder.get(), temp));
    return file;
}

bool takeLock(const HeldFile& held, int fd) {
    errno = 0;
    if (held.fs.lock(fd, held.lockDeadline) || errno == ENOLCK || errno == EOPNOTSUPP) return true;
    if (errno == EWOULDBLOCK) throw LockTimeoutError(held.path, held.options.lockWait.count());
    if (errno == EBADF) errno = EACCES;
    return false;
}

void replaceHeld(HeldFile& held, std::string_view bytes) {
    // A file with a second name would lose it to a rename.
    const bool renameKeepsIt = !held.file.valid() || held.st.st_nlink == 1;
    if (!renameKeepsIt || replaceByRename(held, bytes) != 0) writeInPlace(held, bytes);
}

} // namespace qe
