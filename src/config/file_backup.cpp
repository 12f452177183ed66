#include "file_backup.h"

#include "file_content.h"
#include "save_failure.h"

#include <cerrno>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace qe {

namespace {

// Gives the copy the target's owner and group, extended attributes and mode;
// where the system does not let the caller give the owner and group, the copy
// stays the caller's with the owner's read and write bits only. The error, or 0.
int copyIdentity(const HeldFile& held, int fd) {
    FileSystem& fs = held.fs;
    const struct stat& old = held.st;
    mode_t mode = old.st_mode & 07777;
    errno = 0;
    if (!fs.setOwner(fd, old.st_uid, old.st_gid)) {
        if (errno != EPERM) return lastError();
        mode &= 0600;
    }
    errno = 0;
    if (!fs.copyAttributes(held.file.get(), fd) || !fs.setMode(fd, mode)) return lastError();
    return 0;
}

// The copy's content and identity, flushed; the error, or 0.
int fillCopy(HeldFile& held, int fd) {
    FileSystem& fs = held.fs;
    std::string bytes;
    errno = 0;
    if (!readAll(fs, held.file.get(), static_cast<std::size_t>(held.st.st_size), bytes))
        return lastError();
    if (const int error = writeAll(fs, fd, bytes)) return error;
    if (const int error = copyIdentity(held, fd)) return error;
    errno = 0;
    return fs.sync(fd) ? 0 : lastError();
}

} // namespace

std::string backupName(const std::string& name) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char stamp[32] = "";
    if (::localtime_r(&now, &local))
        std::strftime(stamp, sizeof stamp, "%Y-%m-%d@%H:%M:%S~", &local);
    return name + "." + std::to_string(::getpid()) + "." + stamp;
}

std::string backUpHeld(HeldFile& held) {
    FileSystem& fs = held.fs;
    const int folder = held.folder.get();
    const std::string name = backupName(held.name);
    std::string temp = tempPattern(held);
    bool unnamed = false;
    Descriptor copy = createNew(held, temp, unnamed);
    if (!copy.valid()) unableToWrite(held.path, lastError());
    TempName cleanup(fs, folder);
    if (!unnamed) cleanup.named(temp);
    if (const int error = fillCopy(held, copy.get())) unableToWrite(held.path, error);
    errno = 0;
    if (unnamed) {
        if (!fs.linkUnnamed(copy.get(), folder, temp)) unableToWrite(held.path, lastError());
        cleanup.named(temp);
    }
    if (!fs.rename(folder, temp, name)) unableToWrite(held.path, lastError());
    cleanup.named(name);
    errno = 0;
    if (!fs.syncFolder(folder)) unableToWrite(held.path, lastError());
    cleanup.renamed();
    return held.folderPath + name;
}

} // namespace qe
