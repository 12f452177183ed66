// The system calls a save makes, one per step, so that tests can make any step fail.
#pragma once

#include <string>
#include <sys/types.h>

namespace qe {

// Each step returns false (or -1 for write) and leaves the cause in errno on failure.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Creates a new file exclusively from pattern, a path ending in "XXXXXX" that is
    // replaced in place by a unique suffix; owner read and write only (0600).
    // Returns an open descriptor for writing, or -1.
    virtual int createTemp(std::string& pattern) = 0;
    // Writes up to size bytes; returns how many, or -1.
    virtual ssize_t write(int fd, const char* data, std::size_t size) = 0;
    // Sets the owner and group of the open file.
    virtual bool setOwner(int fd, uid_t owner, gid_t group) = 0;
    // Sets the permission bits of the open file.
    virtual bool setMode(int fd, mode_t mode) = 0;
    // Flushes the file's data and metadata to the disk.
    virtual bool sync(int fd) = 0;
    virtual bool close(int fd) = 0;
    // Renames from over to in one atomic step.
    virtual bool rename(const std::string& from, const std::string& to) = 0;
    // Flushes the folder's entries (the rename) to the disk.
    virtual bool syncFolder(const std::string& folder) = 0;
    virtual bool remove(const std::string& path) = 0;

    // The operating system's calls.
    static FileSystem& real();
};

// The POSIX calls; tests derive from it to make one step fail.
class PosixFileSystem : public FileSystem {
public:
    int createTemp(std::string& pattern) override;
    ssize_t write(int fd, const char* data, std::size_t size) override;
    bool setOwner(int fd, uid_t owner, gid_t group) override;
    bool setMode(int fd, mode_t mode) override;
    bool sync(int fd) override;
    bool close(int fd) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool syncFolder(const std::string& folder) override;
    bool remove(const std::string& path) override;
};

} // namespace qe
