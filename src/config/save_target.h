// A configuration file held for one save: locked, read, then replaced.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace qe {

class FileSystem;

// Which symbolic links at the path a save follows.
enum class Links {
    Follow,  // every link (the window: a person editing their own file)
    OwnOnly, // only a link that belongs to the caller (effective user) or to root,
             // at the end of the path and in its folder names
};

struct TargetOptions {
    Links links = Links::Follow;
    // The mode a target that does not exist yet is made with, exactly (no umask),
    // owned by the caller. 0: 0666 less the umask, as for any new file.
    unsigned newFileMode = 0;
    // How long the save waits for another writer's lock before it gives up with
    // LockTimeoutError, over all the locks it takes.
    std::chrono::seconds lockWait{30};
};

// Holds an advisory lock (flock) on the target from the read to the replace, so
// that two writers of one file, the window and quenbyconf included, each see what
// the other wrote. The lock is taken on the file the path names, and again on the
// new file when, once locked, the path names another one (a save renamed over it
// meanwhile). A target that does not exist is locked through its folder. No lock
// file is ever made; a new file is locked before it takes the target's name.
//
// The path is walked one name at a time, each step and every later one (the lock,
// the read, the temporary file, the rename, a write in place) relative to a
// descriptor of the folder reached, so that a folder or file renamed or replaced
// meanwhile cannot send the write to another file than the one read. A target
// refused: a folder, anything but a regular file (what a link finally names
// included), a file none of whose write bits is set (so even the superuser does not
// replace a file marked read-only), one the real user may not write or read, and a
// path whose folder does not exist.
class SaveTarget {
public:
    // Locks and reads path, waiting up to options.lockWait while another writer
    // holds the lock; throws SaveError "Unable to write to <path>" with the reason,
    // LockTimeoutError when the wait runs out, and ForeignLinkError for a link that
    // options.links does not follow.
    explicit SaveTarget(const std::string& path, TargetOptions options = {});
    SaveTarget(const std::string& path, TargetOptions options, FileSystem& fs);
    ~SaveTarget();
    SaveTarget(const SaveTarget&) = delete;
    SaveTarget& operator=(const SaveTarget&) = delete;

    bool exists() const;
    // The content read: empty for a target that does not exist, and after
    // takeBytes or replace.
    const std::string& bytes() const;
    // Hands the content read over, so that a large file is not held twice.
    std::string takeBytes();
    // Copies the target, which must exist, beside it as file_backup.h says, and
    // returns the copy's path; throws its SaveError.
    std::string backUp();
    // Writes bytes as the file's new content, as replaceFile (file_io.h) says;
    // throws its SaveError. Nothing is written when the target exists and already
    // holds bytes. Afterwards the target is the file written, still locked, and
    // replace may be called again.
    void replace(std::string_view bytes);

private:
    struct State;
    State* state_;
};

} // namespace qe
