// Replacing the content of a save target that is locked and read.
#pragma once

#include "file_system.h"
#include "save_target.h"

#include <string>
#include <string_view>
#include <sys/stat.h>
#include <utility>

namespace qe {

struct HeldFile {
    HeldFile(std::string path_, TargetOptions options_, FileSystem& fs_)
        : path(std::move(path_)), options(options_), fs(fs_),
          lockDeadline(std::chrono::steady_clock::now() + options.lockWait) {}

    std::string path; // as the caller named it, for messages
    TargetOptions options;
    FileSystem& fs;
    std::chrono::steady_clock::time_point lockDeadline; // for every lock of the save
    std::string folderPath; // the path of folder as walked, "" or ending in "/"
    Descriptor folder;      // the target's folder; locked while the target does not exist
    std::string name;       // the target's name in folder
    Descriptor file;        // the target, read and locked; none while it does not exist
    struct stat st {};      // of file
    std::string bytes;      // what file held when read, unless handed over or replaced
};

inline bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The name of a temporary file in the target's folder, removed when it goes
// unless it has taken its final name.
class TempName {
public:
    TempName(FileSystem& fs, int folder) : fs_(fs), folder_(folder) {}
    TempName(const TempName&) = delete;
    TempName& operator=(const TempName&) = delete;
    ~TempName();
    void named(const std::string& name) { name_ = name; }
    void renamed() { name_.clear(); }

private:
    FileSystem& fs_;
    int folder_;
    std::string name_;
};

// The name a temporary file beside the target is made from: "<name>.XXXXXX",
// the name cut to leave room for the suffix.
std::string tempPattern(const HeldFile& held);

// Makes a new file in the target's folder, owner read and write only: without a
// name (unnamed true) where the system can, else named from temp as
// FileSystem::createTemp names it. Invalid, with errno, on failure.
Descriptor createNew(HeldFile& held, std::string& temp, bool& unnamed);

// Takes the lock of the open file or folder, as FileSystem::lock does, by the
// save's deadline; true also where the file system keeps no locks (ENOLCK,
// EOPNOTSUPP), as no writer can hold one there. A folder we may not read is open
// only to walk through (O_PATH) and takes no lock: EACCES. Throws LockTimeoutError
// when another writer keeps the lock past the deadline.
bool takeLock(const HeldFile& held, int fd);

// Writes bytes as the held target's new content, as replaceFile (file_io.h) says,
// every step relative to held.folder; a write in place goes through a descriptor
// checked to be held.file, and takes its copy of the old content from held.bytes
// when the file still holds them, else from the file. On success held is the new
// file: after a rename, held.file is the new file, locked before it took the name
// (held.bytes is left alone). Throws SaveError.
void replaceHeld(HeldFile& held, std::string_view bytes);

} // namespace qe
