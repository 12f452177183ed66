// The system calls a save makes, one per step, so that tests can make any step fail.
#pragma once

#include <chrono>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace qe {

// Each step returns false (or -1 for a descriptor, a read or a write) and leaves the
// cause in errno on failure. A name is one component, taken in the open folder
// given beside it, and no step follows a symbolic link at it: a folder renamed or
// replaced meanwhile cannot send a step elsewhere.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens a name of folder (AT_FDCWD: the working folder; "/" and "." allowed)
    // only to look at it or walk through it (O_PATH): a folder, a link, any file.
    virtual int openNode(int folder, const std::string& name) = 0;
    // Opens a folder for reading, locking and flushing; name "." is folder itself.
    virtual int openFolder(int folder, const std::string& name) = 0;
    virtual bool stat(int fd, struct stat& st) = 0;
    // What name is, not following a link.
    virtual bool statAt(int folder, const std::string& name, struct stat& st) = 0;
    // The text of the link that openNode opened.
    virtual bool readLink(int link, std::string& text) = 0;
    // Whether the real user may write the file name (access(2)).
    virtual bool mayWrite(int folder, const std::string& name) = 0;

    // Opens an existing file for reading, never waiting on a FIFO or device.
    virtual int openForReading(int folder, const std::string& name) = 0;
    // Takes the exclusive advisory lock (flock) of the open file or folder, waiting
    // for it until deadline; false with EWOULDBLOCK when another holder keeps it
    // past then.
    virtual bool lock(int fd, std::chrono::steady_clock::time_point deadline) = 0;
    // Reads up to size bytes at offset; returns how many (0 at the end), or -1.
    virtual ssize_t read(int fd, char* data, std::size_t size, off_t offset) = 0;

    // Creates a file without a name in folder (O_TMPFILE), owner read and write only,
    // open for reading and writing: a crash before it is named leaves nothing behind.
    // Fails with EOPNOTSUPP where the file system or the system cannot do this.
    virtual int createUnnamed(int folder) = 0;
    // Gives the file of createUnnamed a name in folder from name, ending in "XXXXXX"
    // that is replaced in place by a unique suffix.
    virtual bool linkUnnamed(int fd, int folder, std::string& name) = 0;
    // Creates a new file in folder exclusively from name, as linkUnnamed names it;
    // owner read and write only (0600). Returns a descriptor for reading and writing.
    virtual int createTemp(int folder, std::string& name) = 0;
    // Opens an existing file for reading and writing, for a write in place.
    virtual int openForWriting(int folder, const std::string& name) = 0;
    // Writes up to size bytes at offset; returns how many, or -1.
    virtual ssize_t write(int fd, const char* data, std::size_t size, off_t offset) = 0;
    // Cuts the open file to size bytes.
    virtual bool truncate(int fd, off_t size) = 0;
    // Sets the owner and group of the open file.
    virtual bool setOwner(int fd, uid_t owner, gid_t group) = 0;
    // Sets the permission bits of the open file.
    virtual bool setMode(int fd, mode_t mode) = 0;
    // Gives the open file `to` the extended attributes (ACLs included) of the open
    // file `from`, with their values, and no others.
    virtual bool copyAttributes(int from, int to) = 0;
    // Flushes the file's data and metadata to the disk.
    virtual bool sync(int fd) = 0;
    virtual bool close(int fd) = 0;
    // Renames from over to, both in folder, in one atomic step.
    virtual bool rename(int folder, const std::string& from, const std::string& to) = 0;
    // Flushes the folder's entries (the rename) to the disk.
    virtual bool syncFolder(int folder) = 0;
    virtual bool remove(int folder, const std::string& name) = 0;

    // The operating system's calls.
    static FileSystem& real();
};

// The POSIX and Linux calls; tests derive from it to make one step fail.
class PosixFileSystem : public FileSystem {
public:
    int openNode(int folder, const std::string& name) override;
    int openFolder(int folder, const std::string& name) override;
    bool stat(int fd, struct stat& st) override;
    bool statAt(int folder, const std::string& name, struct stat& st) override;
    bool readLink(int link, std::string& text) override;
    bool mayWrite(int folder, const std::string& name) override;
    int openForReading(int folder, const std::string& name) override;
    bool lock(int fd, std::chrono::steady_clock::time_point deadline) override;
    ssize_t read(int fd, char* data, std::size_t size, off_t offset) override;
    int createUnnamed(int folder) override;
    bool linkUnnamed(int fd, int folder, std::string& name) override;
    int createTemp(int folder, std::string& name) override;
    int openForWriting(int folder, const std::string& name) override;
    ssize_t write(int fd, const char* data, std::size_t size, off_t offset) override;
    bool truncate(int fd, off_t size) override;
    bool setOwner(int fd, uid_t owner, gid_t group) override;
    bool setMode(int fd, mode_t mode) override;
    bool copyAttributes(int from, int to) override;
    bool sync(int fd) override;
    bool close(int fd) override;
    bool rename(int folder, const std::string& from, const std::string& to) override;
    bool syncFolder(int folder) override;
    bool remove(int folder, const std::string& name) override;
};

// An open file or folder of a save, closed through the seam that opened it when it
// goes (errno kept), or earlier by close(). The one owner of every descriptor a
// save opens.
class Descriptor {
public:
    Descriptor() = default;
    Descriptor(FileSystem& fs, int fd) : fs_(&fs), fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fs_(other.fs_), fd_(other.release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { drop(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now; false, with errno, when the close reports an error.
    bool close();

private:
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void drop();

    FileSystem* fs_ = nullptr;
    int fd_ = -1;
};

} // namespace qe
