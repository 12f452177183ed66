// Reading and replacing configuration files on disk.
#pragma once

#include <string>
#include <string_view>

namespace qe {

class FileSystem; // the seam through which every write goes (file_system.h)

// The whole file, read once, for a load. A file that is missing, is not a regular
// file or cannot be read gives the empty text, which reads as every key absent.
std::string readForLoad(const std::string& path);

// The current bytes of a save target, read once: empty when it does not exist.
// Throws ConfigError "Unable to write to <path>" when the target exists but cannot
// be read or replaced (a folder, a device, a read-only file), so that nothing of a
// file the editor could not read is ever lost.
std::string readForSave(const std::string& path);

// Replaces the file with bytes in one atomic step: a temporary file in the same
// folder, flushed to disk, renamed over the target, keeping the target's mode and
// owner; a symbolic link is written through. Throws ConfigError
// "Unable to write to <path>" on any failure, leaving the file as it was.
void replaceFile(const std::string& path, std::string_view bytes);
void replaceFile(const std::string& path, std::string_view bytes, FileSystem& fs);

} // namespace qe
