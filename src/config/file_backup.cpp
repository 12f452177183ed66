#include "file_backup.h"

#include "file_content.h"

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
    const int error = fs.setOwner(fd, old.st_uid, old.st_gid);
    if (error == EPERM) mode &= 0600;
    if (error != 0 && error != EPERM) return error;
    if (const int failed = fs.copyAttributes(held.file.get(), fd)) return failed;
    return fs.setMode(fd, mode);
}

// The copy's content and identity, flushed; the error, or 0.
int fillCopy(HeldFile& held, int fd) {
    FileSystem& fs = held.fs;
    std::string bytes;
    const auto size = static_cast<std::size_t>(held.st.st_size);
    if (const int error = readAll(fs, held.file.get(), size, bytes)) return error;
    if (const int error = writeAll(fs, fd, bytes)) return error;
    if (const int error = copyIdentity(held, fd)) return error;
    return fs.sync(fd);
}

// Names the filled copy name in the target's folder, lasting; the error, or 0.
int nameCopy(HeldFile& held, int fd, bool unnamed, std::string& temp, TempName& cleanup,
             const std::string& name) {
    FileSystem& fs = held.fs;
    const int folder = held.folder.get();
    if (unnamed) {
        if (const int error = fs.linkUnnamed(fd, folder, temp)) return error;
        cleanup.named(temp);
    }
    if (const int error = fs.rename(folder, temp, name)) return error;
    cleanup.named(name);
    return fs.syncFolder(folder);
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

SaveFailure backUpHeld(HeldFile& held, std::string& copy) {
    const std::string name = backupName(held.name);
    std::string temp = tempPattern(held);
    bool unnamed = false;
    Descriptor file;
    if (const int error = createNew(held, temp, unnamed, file)) return writeFailure(error);
    TempName cleanup(held.fs, held.folder.get());
    if (!unnamed) cleanup.named(temp);
    if (const int error = fillCopy(held, file.get())) return writeFailure(error);
    if (const int error = nameCopy(held, file.get(), unnamed, temp, cleanup, name))
        return writeFailure(error);
    cleanup.renamed();
    copy = held.folderPath + name;
    return {};
}

} // namespace qe
