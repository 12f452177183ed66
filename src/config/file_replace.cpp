#include "file_replace.h"

#include "file_content.h"

#include <cerrno>
#include <sys/stat.h>

namespace qe {

namespace {

// The mode of a target made anew: the one asked for, else 0666 less the umask.
mode_t newFileMode(const HeldFile& held) {
    const unsigned asked = held.options.newFileMode;
    if (asked != 0) return static_cast<mode_t>(asked & 07777);
    return 0666 & ~held.fs.umask();
}

// Failures after which a write in place may still succeed: the folder takes no new
// file of ours, the temporary name is too long, there is no room for a second copy,
// the new file cannot be given the old one's identity, or the target cannot be
// renamed over.
bool inPlaceMayDo(const SaveFailure& failure) {
    if (failure.kind != SaveFailure::Kind::Write) return false;
    switch (failure.error) {
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

// Whether the open file's owner, group and mode are those of old.
bool sameIdentity(const struct stat& now, const struct stat& old) {
    return now.st_uid == old.st_uid && now.st_gid == old.st_gid &&
           (now.st_mode & 07777) == (old.st_mode & 07777);
}

// Makes the new file the old one's twin in owner, group, mode and extended
// attributes; the error when it cannot, or 0.
int copyIdentity(const HeldFile& held, int fd) {
    FileSystem& fs = held.fs;
    const struct stat& old = held.st;
    struct stat now;
    if (const int error = fs.stat(fd, now)) return error;
    // chown clears setuid and setgid, so the mode comes after it; an ACL's mask and
    // the group bits of the mode are one, so setting either leaves both as they were.
    const bool owned = now.st_uid == old.st_uid && now.st_gid == old.st_gid;
    if (const int error = owned ? 0 : fs.setOwner(fd, old.st_uid, old.st_gid)) return error;
    if (const int error = fs.copyAttributes(held.file.get(), fd)) return error;
    if (const int error = fs.setMode(fd, old.st_mode & 07777)) return error;
    // The system drops a setgid bit for a group we are not in without a word.
    if (const int error = fs.stat(fd, now)) return error;
    return sameIdentity(now, old) ? 0 : EPERM;
}

// Gives the new file the old one's identity, or the new-file mode; the error, or 0.
int setIdentity(const HeldFile& held, int fd) {
    if (held.file.valid()) return copyIdentity(held, fd);
    return held.fs.setMode(fd, newFileMode(held));
}

// Writes bytes into a new file beside the target, with the target's identity,
// flushed and locked, and renames it over the target; renamed is then that file.
SaveFailure renameNewOver(HeldFile& held, std::string_view bytes, Descriptor& renamed) {
    FileSystem& fs = held.fs;
    const int folder = held.folder.get();
    std::string temp = tempPattern(held);
    bool unnamed = false;
    Descriptor file;
    if (const int error = createNew(held, temp, unnamed, file)) return writeFailure(error);
    TempName name(fs, folder);
    if (!unnamed) name.named(temp);
    if (const int error = writeAll(fs, file.get(), bytes)) return writeFailure(error);
    if (const int error = setIdentity(held, file.get())) return writeFailure(error);
    if (const int error = fs.sync(file.get())) return writeFailure(error);
    // Locked before it has the target's name, so that the next writer waits for us.
    if (SaveFailure failure = takeLock(held, file.get())) return failure;
    // From here to the rename, a crash leaves the temporary name behind.
    if (unnamed) {
        if (const int error = fs.linkUnnamed(file.get(), folder, temp)) return writeFailure(error);
        name.named(temp);
    }
    if (const int error = fs.rename(folder, temp, held.name)) return writeFailure(error);
    name.renamed();
    renamed = std::move(file);
    return {};
}

// Makes the file renamed over the target the held one and flushes the folder: the
// new content is in place even when this fails.
SaveFailure adoptRenamed(HeldFile& held, Descriptor file) {
    struct stat st {};
    const int error = held.fs.stat(file.get(), st);
    held.file = std::move(file);
    held.st = st;
    if (error != 0) return writeFailure(error);
    if (const int failed = held.fs.syncFolder(held.folder.get())) return writeFailure(failed);
    return {};
}

// Writes bytes over the open file from its start, cuts it to their size, gives it
// back mode (writing clears the setuid and setgid bits of a file that is not ours)
// and flushes it; the error, or 0.
int rewrite(FileSystem& fs, int fd, std::string_view bytes, mode_t mode) {
    if (const int error = writeAll(fs, fd, bytes)) return error;
    if (const int error = fs.truncate(fd, static_cast<off_t>(bytes.size()))) return error;
    struct stat now;
    if (const int error = fs.stat(fd, now)) return error;
    const bool kept = (now.st_mode & 07777) == mode;
    if (const int error = kept ? 0 : fs.setMode(fd, mode)) return error;
    return fs.sync(fd);
}

// The old content of the file the target still is: held.bytes when the file holds
// them, else read into own.
int oldContent(const HeldFile& held, int fd, const struct stat& st, std::string& own,
               std::string_view& old) {
    const auto size = static_cast<std::size_t>(st.st_size);
    if (holds(held.fs, fd, size, held.bytes)) {
        old = held.bytes;
        return 0;
    }
    const int error = readAll(held.fs, fd, size, own);
    old = own;
    return error;
}

SaveFailure writeInPlace(HeldFile& held, std::string_view bytes) {
    FileSystem& fs = held.fs;
    int fd = -1;
    if (const int error = fs.openForWriting(held.folder.get(), held.name, fd))
        return writeFailure(error);
    const Descriptor file(fs, fd);
    struct stat st;
    if (const int error = fs.stat(file.get(), st)) return writeFailure(error);
    if (!sameFile(st, held.st)) return writeFailure("The file was replaced while it was saved.");
    std::string own;
    std::string_view old;
    if (const int error = oldContent(held, file.get(), st, own, old)) return writeFailure(error);
    const mode_t mode = st.st_mode & 07777;
    const int error = rewrite(fs, file.get(), bytes, mode);
    if (error == 0) return {};
    const bool putBack = rewrite(fs, file.get(), old, mode) == 0;
    return writeFailure(reasonOf(error) + "\n" +
                        (putBack ? "The file's old content was put back."
                                 : "The file's old content could not be put back."));
}

} // namespace

TempName::~TempName() {
    if (!name_.empty()) fs_.remove(folder_, name_);
}

std::string tempPattern(const HeldFile& held) {
    // Room left in a file name for the suffix (NAME_MAX is 255).
    constexpr std::size_t kMaxTempStem = 200;
    return held.name.substr(0, kMaxTempStem) + ".XXXXXX";
}

int createNew(const HeldFile& held, std::string& temp, bool& unnamed, Descriptor& file) {
    FileSystem& fs = held.fs;
    int fd = -1;
    int error = fs.createUnnamed(held.folder.get(), fd);
    unnamed = error == 0;
    if (error == EOPNOTSUPP) error = fs.createTemp(held.folder.get(), temp, fd);
    if (error == 0) file = Descriptor(fs, fd);
    return error;
}

SaveFailure takeLock(const HeldFile& held, int fd) {
    const int error = held.fs.lock(fd, held.lockDeadline);
    if (error == 0 || error == ENOLCK || error == EOPNOTSUPP) return {};
    if (error == EWOULDBLOCK) return lockTimeout();
    return writeFailure(error == EBADF ? EACCES : error);
}

SaveFailure replaceHeld(HeldFile& held, std::string_view bytes) {
    // A file with a second name would lose it to a rename.
    if (held.file.valid() && held.st.st_nlink != 1) return writeInPlace(held, bytes);
    Descriptor renamed;
    const SaveFailure failure = renameNewOver(held, bytes, renamed);
    if (!failure) return adoptRenamed(held, std::move(renamed));
    if (held.file.valid() && inPlaceMayDo(failure)) return writeInPlace(held, bytes);
    return failure;
}

} // namespace qe
