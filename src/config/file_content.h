// Reading, comparing and writing the whole content of an open file through the seam.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qe {

class FileSystem;

// Reads the open file from its start to its end: sizeHint bytes straight into
// out, then whatever came on top. The end is found with a read into a buffer of
// its own, so that a file of the expected size is never copied. The error of a
// failed read, or 0.
int readAll(FileSystem& fs, int fd, std::size_t sizeHint, std::string& out);

// Whether the open file, size bytes long, holds exactly bytes; compared piece by
// piece. False also when a read fails.
bool holds(FileSystem& fs, int fd, std::size_t size, std::string_view bytes);

// Writes all of bytes from the file's start; the error, or 0. Interrupted and short
// writes are continued; a write that makes no progress is EIO.
int writeAll(FileSystem& fs, int fd, std::string_view bytes);

} // namespace qe
