// Reading and replacing configuration files on disk.
#pragma once

#include <string>
#include <string_view>

namespace qe {

class FileSystem; // the seam through which every write goes (file_system.h)

// The whole file, read once, for a load. A file that is missing, is not a regular
// file (a folder, a FIFO, a device) or cannot be read gives the empty text, which
// reads as every key absent. Never waits on a FIFO or device and never reads
// without end. Symbolic links are followed.
std::string readForLoad(const std::string& path);

// The current bytes of a save target, read once: empty when it does not exist.
// Throws ConfigError "Unable to write to <path>" when the target exists but cannot
// be read or replaced (a folder, a device, a read-only file), or its folder does not
// exist, so that nothing of a file the editor could not read is ever lost. A file
// is read-only when we may not write it or when none of its write permission bits
// is set, so even the superuser does not replace a file marked read-only.
// Symbolic links are followed to the file they finally name (at most 40 links; a
// relative link is taken from the link's folder).
std::string readForSave(const std::string& path);

// Replaces the file with bytes in one atomic step: a temporary file
// "<name>.XXXXXX" created exclusively in the same folder with mode 0600, written
// in full, given the target's owner (where permitted) and mode (0666 less the
// umask for a new file), flushed to disk, renamed over the target, and the folder
// flushed. A symbolic link is written through to the file it names and stays a
// link. Refuses the targets readForSave refuses. Throws ConfigError
// "Unable to write to <path>" (path as given) on any failure, leaving no temporary
// file and the target as it was; only when flushing the folder fails after the
// rename does the target already hold the new bytes, whole.
void replaceFile(const std::string& path, std::string_view bytes);
void replaceFile(const std::string& path, std::string_view bytes, FileSystem& fs);

} // namespace qe
