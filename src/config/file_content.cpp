#include "file_content.h"

#include "file_system.h"

#include <algorithm>
#include <cerrno>

namespace qe {

namespace {

// One read at offset into done bytes, continued after EINTR; the error, or 0.
int readAt(FileSystem& fs, int fd, char* data, std::size_t size, std::size_t offset,
           std::size_t& done) {
    for (;;) {
        const int error = fs.read(fd, data, size, static_cast<off_t>(offset), done);
        if (error != EINTR) return error;
    }
}

} // namespace

int readAll(FileSystem& fs, int fd, std::size_t sizeHint, std::string& out) {
    out.assign(sizeHint, '\0');
    std::size_t done = 0;
    char more[1 << 16];
    for (;;) {
        const bool full = done == out.size();
        std::size_t n = 0;
        const int error = full ? readAt(fs, fd, more, sizeof more, done, n)
                               : readAt(fs, fd, out.data() + done, out.size() - done, done, n);
        if (error != 0) return error;
        if (n == 0) {
            out.resize(done);
            return 0;
        }
        if (full) out.append(more, n);
        done += n;
    }
}

bool holds(FileSystem& fs, int fd, std::size_t size, std::string_view bytes) {
    if (size != bytes.size()) return false;
    char buffer[1 << 16];
    for (std::size_t done = 0; done < bytes.size();) {
        std::size_t n = 0;
        if (readAt(fs, fd, buffer, sizeof buffer, done, n) != 0 || n == 0 ||
            n > bytes.size() - done || bytes.compare(done, n, std::string_view(buffer, n)) != 0)
            return false;
        done += n;
    }
    return true;
}

int writeAll(FileSystem& fs, int fd, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1 << 30);
        std::size_t n = 0;
        const int error = fs.write(fd, bytes.data() + done, chunk, static_cast<off_t>(done), n);
        if (error == EINTR) continue;
        if (error != 0) return error;
        if (n == 0) return EIO; // no progress
        done += n;
    }
    return 0;
}

} // namespace qe
