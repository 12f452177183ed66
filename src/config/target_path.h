// Finding the file a save writes: its folder, open, and its name in it.
#pragma once

#include "file_system.h"
#include "save_target.h"

#include <string>
#include <sys/stat.h>

namespace qe {

struct TargetPath {
    Descriptor folder; // the folder the target stands in, open for reading
    std::string name;  // the target's name in folder
    bool exists = false;
    struct stat st {}; // what name was (never a link) when found, when it exists
    // The path of folder as walked, through the links followed: "" for the working
    // folder, else ending in "/".
    std::string folderPath;
};

// Walks path one name at a time from the root or the working folder, each step
// relative to the folder reached, through the symbolic links that links allows:
// every link counts, at the end of the path, in a folder name and in a link's own
// text (at most 40 in all; a relative link is taken from the link's folder). A
// last name that does not exist gives exists false. Throws SaveError for path
// when a folder on the way is missing or not a folder, the path names a folder,
// or there are too many links; ForeignLinkError for a link links does not allow.
TargetPath findTarget(const std::string& path, Links links, FileSystem& fs);

} // namespace qe
