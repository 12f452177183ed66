// Reading and replacing configuration files on disk.
#pragma once

#include "error.h"

#include <string>
#include <string_view>

namespace qe {

class FileSystem; // the seam through which every write goes (file_system.h)

// A file read for a load: its bytes, or why there are none.
struct FileRead {
    std::string bytes;
    ReadFault fault = ReadFault::None; // never LoadStops
    std::string reason;                // the system's reason, worded as a save words it
};

// The whole file, read once, for a load. A file that is missing, is not a regular
// file (a folder, a FIFO, a device) or cannot be read gives no bytes and the
// fault: Missing when nothing stands at the path (a dangling symbolic link is
// Unreadable). Never waits on a FIFO or device and never reads without end.
// Symbolic links are followed.
FileRead readFile(const std::string& path);

// The bytes of readFile: the empty text, which reads as every key absent, when the
// file gave none.
std::string readForLoad(const std::string& path);

// The current bytes of a save target, read once: empty when it does not exist.
// A SaveTarget (save_target.h) read and let go; see there for what it refuses.
std::string readForSave(const std::string& path);

// Writes bytes as the file's new content, keeping the file what it was in all
// else: one SaveTarget, locked, read and replaced; nothing is written when the file
// already holds bytes. Where a new file can be made indistinguishable from the old
// one but for its content (one link; the same owner and group; the same mode,
// setuid, setgid and sticky bits included; every extended attribute, ACLs
// included), the new content goes into a temporary file beside the target, flushed
// to disk and renamed over it in one atomic step, then the folder is flushed. The
// temporary file has no name (O_TMPFILE) until just before the rename, so a crash
// leaves nothing behind; where the file system cannot do that, it is
// "<name>.XXXXXX", mode 0600. Otherwise, or when the folder takes no new file (no
// right to create one, no room for a second copy, a name too long), the file is
// written in place: the new content over the old from the start, cut to size, its
// mode kept, flushed; when any of that fails, the old content is written back the
// same way.
//
// A new file gets mode 0666 less the umask. A symbolic link is written through to
// the file it names and stays a link. Throws SaveError "Unable to write to <path>"
// (path as given) on any failure, with the system's reason; the target is as it
// was, except that a failure to flush the folder after the rename leaves the new
// content in place, whole, and a failed write in place whose old content could not
// be written back says so.
void replaceFile(const std::string& path, std::string_view bytes);
void replaceFile(const std::string& path, std::string_view bytes, FileSystem& fs);

} // namespace qe
