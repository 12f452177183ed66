#include "file_content.h"

#include "file_system.h"
#include "save_failure.h"

#include <algorithm>
#include <cerrno>

namespace qe {

namespace {

// One read at offset, continued after EINTR.
ssize_t readAt(FileSystem& fs, int fd, char* data, std::size_t size, std::size_t offset) {
    for (;;) {
        const ssize_t n = fs.read(fd, data, size, static_cast<off_t>(offset));
        if (n >= 0 || errno != EINTR) return n;
    }
}

} // namespace

bool readAll(FileSystem& fs, int fd, std::size_t sizeHint, std::string& out) {
    out.assign(sizeHint, '\0');
    std::size_t done = 0;
    char more[1 << 16];
    for (;;) {
        const bool full = done == out.size();
        const ssize_t n = full ? readAt(fs, fd, more, sizeof more, done)
                               : readAt(fs, fd, out.data() + done, out.size() - done, done);
        if (n < 0) return false;
        if (n == 0) {
            out.resize(done);
            return true;
        }
        if (full) out.append(more, static_cast<std::size_t>(n));
        done += static_cast<std::size_t>(n);
    }
}

bool holds(FileSystem& fs, int fd, std::size_t size, std::string_view bytes) {
    if (size != bytes.size()) return false;
    char buffer[1 << 16];
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = readAt(fs, fd, buffer, sizeof buffer, done);
        if (n <= 0 || static_cast<std::size_t>(n) > bytes.size() - done ||
            bytes.compare(done, static_cast<std::size_t>(n),
                          std::string_view(buffer, static_cast<std::size_t>(n))) != 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

int writeAll(FileSystem& fs, int fd, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1 << 30);
        errno = 0;
        const ssize_t n = fs.write(fd, bytes.data() + done, chunk, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return lastError();
        if (n == 0) return EIO; // no progress
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

} // namespace qe
