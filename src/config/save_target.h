// A configuration file held for one save: locked, read, then replaced.
#pragma once

#include <string>
#include <string_view>

namespace qe {

class FileSystem;

// Which symbolic links at the path a save follows.
enum class Links {
    Follow,  // every link (the window: a person editing their own file)
    OwnOnly, // only a link that belongs to the caller or to root
};

struct TargetOptions {
    Links links = Links::Follow;
    // The mode a target that does not exist yet is made with, exactly (no umask).
    // 0: 0666 less the umask, as for any new file.
    unsigned newFileMode = 0;
};

// Holds an advisory lock (flock) on the target from the read to the replace, so
// that two writers of one file, the window and quenbyconf included, each see what
// the other wrote. The lock is taken on the file the path names, and again on the
// new file when, once locked, the path names another one (a save renamed over it
// meanwhile). A target that does not exist is locked through its folder. No lock
// file is ever made.
class SaveTarget {
public:
    // Locks and reads path as readForSave does; throws its SaveError.
    explicit SaveTarget(const std::string& path, TargetOptions options = {});
    SaveTarget(const std::string& path, TargetOptions options, FileSystem& fs);
    ~SaveTarget();
    SaveTarget(const SaveTarget&) = delete;
    SaveTarget& operator=(const SaveTarget&) = delete;

    bool exists() const;
    const std::string& bytes() const; // empty for a target that does not exist
    // Writes bytes as the file's new content, as replaceFile does; throws its
    // SaveError. Nothing is written when bytes equal the content read.
    void replace(std::string_view bytes);

private:
    struct State;
    State* state_;
};

} // namespace qe
