// The system calls a save makes, one per step, so that tests can make any step fail.
#pragma once

#include <chrono>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace qe {

// Each step returns 0 when done, else the error number (an errno value) that says
// why not; what it gives back goes into its last parameters. A name is one
// component, taken in the open folder given beside it, and no step follows a
// symbolic link at it: a folder renamed or replaced meanwhile cannot send a step
// elsewhere.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens a name of folder (AT_FDCWD: the working folder; "/" and "." allowed)
    // only to look at it or walk through it (O_PATH): a folder, a link, any file.
    [[nodiscard]] virtual int openNode(int folder, const std::string& name, int& fd) = 0;
    // Opens a folder for reading, locking and flushing; name "." is folder itself.
    [[nodiscard]] virtual int openFolder(int folder, const std::string& name, int& fd) = 0;
    [[nodiscard]] virtual int stat(int fd, struct stat& st) = 0;
    // What name is, not following a link.
    [[nodiscard]] virtual int statAt(int folder, const std::string& name, struct stat& st) = 0;
    // The text of the link that openNode opened.
    [[nodiscard]] virtual int readLink(int link, std::string& text) = 0;
    // Whether the real user may write the file name (access(2)): 0 when so.
    [[nodiscard]] virtual int mayWrite(int folder, const std::string& name) = 0;

    // Opens an existing file for reading, never waiting on a FIFO or device.
    [[nodiscard]] virtual int openForReading(int folder, const std::string& name, int& fd) = 0;
    // Takes the exclusive advisory lock (flock) of the open file or folder, waiting
    // for it until deadline; EWOULDBLOCK when another holder keeps it past then.
    [[nodiscard]] virtual int lock(int fd, std::chrono::steady_clock::time_point deadline) = 0;
    // Reads up to size bytes at offset; done is how many (0 at the end).
    [[nodiscard]] virtual int read(int fd, char* data, std::size_t size, off_t offset,
                                   std::size_t& done) = 0;

    // Creates a file without a name in folder (O_TMPFILE), owner read and write only,
    // open for reading and writing: a crash before it is named leaves nothing behind.
    // EOPNOTSUPP where the file system or the system cannot do this.
    [[nodiscard]] virtual int createUnnamed(int folder, int& fd) = 0;
    // Gives the file of createUnnamed a name in folder from name, ending in "XXXXXX"
    // that is replaced in place by a unique suffix.
    [[nodiscard]] virtual int linkUnnamed(int fd, int folder, std::string& name) = 0;
    // Creates a new file in folder exclusively from name, as linkUnnamed names it;
    // owner read and write only (0600), open for reading and writing.
    [[nodiscard]] virtual int createTemp(int folder, std::string& name, int& fd) = 0;
    // Opens an existing file for reading and writing, for a write in place.
    [[nodiscard]] virtual int openForWriting(int folder, const std::string& name, int& fd) = 0;
    // Writes up to size bytes at offset; done is how many.
    [[nodiscard]] virtual int write(int fd, const char* data, std::size_t size, off_t offset,
                                    std::size_t& done) = 0;
    // Cuts the open file to size bytes.
    [[nodiscard]] virtual int truncate(int fd, off_t size) = 0;
    // Sets the owner and group of the open file.
    [[nodiscard]] virtual int setOwner(int fd, uid_t owner, gid_t group) = 0;
    // Sets the permission bits of the open file.
    [[nodiscard]] virtual int setMode(int fd, mode_t mode) = 0;
    // Gives the open file `to` the extended attributes (ACLs included) of the open
    // file `from`, with their values, and no others.
    [[nodiscard]] virtual int copyAttributes(int from, int to) = 0;
    // Flushes the file's data and metadata to the disk.
    [[nodiscard]] virtual int sync(int fd) = 0;
    // Closes fd; it is gone afterwards whatever the answer.
    virtual int close(int fd) = 0;
    // Renames from over to, both in folder, in one atomic step.
    [[nodiscard]] virtual int rename(int folder, const std::string& from,
                                     const std::string& to) = 0;
    // Flushes the folder's entries (the rename) to the disk.
    [[nodiscard]] virtual int syncFolder(int folder) = 0;
    virtual int remove(int folder, const std::string& name) = 0;
    // The process's file creation mask, left as it was.
    virtual mode_t umask() = 0;

    // The operating system's calls.
    static FileSystem& real();
};

// The POSIX and Linux calls; tests derive from it to make one step fail.
class PosixFileSystem : public FileSystem {
public:
    int openNode(int folder, const std::string& name, int& fd) override;
    int openFolder(int folder, const std::string& name, int& fd) override;
    int stat(int fd, struct stat& st) override;
    int statAt(int folder, const std::string& name, struct stat& st) override;
    int readLink(int link, std::string& text) override;
    int mayWrite(int folder, const std::string& name) override;
    int openForReading(int folder, const std::string& name, int& fd) override;
    int lock(int fd, std::chrono::steady_clock::time_point deadline) override;
    int read(int fd, char* data, std::size_t size, off_t offset, std::size_t& done) override;
    int createUnnamed(int folder, int& fd) override;
    int linkUnnamed(int fd, int folder, std::string& name) override;
    int createTemp(int folder, std::string& name, int& fd) override;
    int openForWriting(int folder, const std::string& name, int& fd) override;
    int write(int fd, const char* data, std::size_t size, off_t offset, std::size_t& done) override;
    int truncate(int fd, off_t size) override;
    int setOwner(int fd, uid_t owner, gid_t group) override;
    int setMode(int fd, mode_t mode) override;
    int copyAttributes(int from, int to) override;
    int sync(int fd) override;
    int close(int fd) override;
    int rename(int folder, const std::string& from, const std::string& to) override;
    int syncFolder(int folder) override;
    int remove(int folder, const std::string& name) override;
    mode_t umask() override;
};

// An open file or folder of a save, closed through the seam that opened it when it
// goes, or earlier by close(). The one owner of every descriptor a save opens.
class Descriptor {
public:
    Descriptor() = default;
    Descriptor(FileSystem& fs, int fd) : fs_(&fs), fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fs_(other.fs_), fd_(other.release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { close(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now; the error the close reports, or 0.
    int close();

private:
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

    FileSystem* fs_ = nullptr;
    int fd_ = -1;
};

} // namespace qe
