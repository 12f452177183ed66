// The system calls a save makes, one per step, so that tests can make any step fail.
#pragma once

#include <string>
#include <sys/types.h>

namespace qe {

// Each step returns false (or -1 for a descriptor or a write) and leaves the cause
// in errno on failure.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Creates a file without a name in folder (O_TMPFILE), owner read and write only,
    // open for writing: a crash before it is named leaves nothing behind. Fails with
    // EOPNOTSUPP where the file system or the system cannot do this.
    virtual int createUnnamed(const std::string& folder) = 0;
    // Gives the file of createUnnamed a name from pattern, a path ending in "XXXXXX"
    // that is replaced in place by a unique suffix.
    virtual bool linkUnnamed(int fd, std::string& pattern) = 0;
    // Creates a new named file exclusively from pattern, as linkUnnamed names it;
    // owner read and write only (0600). Returns an open descriptor for writing, or -1.
    virtual int createTemp(std::string& pattern) = 0;
    // Opens an existing file for reading and writing, for a write in place.
    virtual int openExisting(const std::string& path) = 0;
    // Writes up to size bytes at the file offset; returns how many, or -1.
    virtual ssize_t write(int fd, const char* data, std::size_t size) = 0;
    // Cuts the open file to size bytes.
    virtual bool truncate(int fd, off_t size) = 0;
    // Sets the owner and group of the open file.
    virtual bool setOwner(int fd, uid_t owner, gid_t group) = 0;
    // Sets the permission bits of the open file.
    virtual bool setMode(int fd, mode_t mode) = 0;
    // Gives the open file the extended attributes (ACLs included) of the file at
    // from, with their values, and no others.
    virtual bool copyAttributes(const std::string& from, int fd) = 0;
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

// The POSIX and Linux calls; tests derive from it to make one step fail.
class PosixFileSystem : public FileSystem {
public:
    int createUnnamed(const std::string& folder) override;
    bool linkUnnamed(int fd, std::string& pattern) override;
    int createTemp(std::string& pattern) override;
    int openExisting(const std::string& path) override;
    ssize_t write(int fd, const char* data, std::size_t size) override;
    bool truncate(int fd, off_t size) override;
    bool setOwner(int fd, uid_t owner, gid_t group) override;
    bool setMode(int fd, mode_t mode) override;
    bool copyAttributes(const std::string& from, int fd) override;
    bool sync(int fd) override;
    bool close(int fd) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool syncFolder(const std::string& folder) override;
    bool remove(const std::string& path) override;
};

} // namespace qe
