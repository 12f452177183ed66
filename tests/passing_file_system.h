// A FileSystem that hands every call to another one after asking whether it may:
// the base of tests that stop a save at a call they choose.
#pragma once

#include "config/file_system.h"

#include <cerrno>

namespace qe::test {

class PassingFileSystem : public FileSystem {
public:
    explicit PassingFileSystem(FileSystem& inner) : inner_(inner) {}

    int openNode(int folder, const std::string& name) override {
        return pass("openNode", -1, [&] { return inner_.openNode(folder, name); });
    }
    int openFolder(int folder, const std::string& name) override {
        return pass("openFolder", -1, [&] { return inner_.openFolder(folder, name); });
    }
    bool stat(int fd, struct stat& st) override {
        return pass("stat", false, [&] { return inner_.stat(fd, st); });
    }
    bool statAt(int folder, const std::string& name, struct stat& st) override {
        return pass("statAt", false, [&] { return inner_.statAt(folder, name, st); });
    }
    bool readLink(int link, std::string& text) override {
        return pass("readLink", false, [&] { return inner_.readLink(link, text); });
    }
    bool mayWrite(int folder, const std::string& name) override {
        return pass("mayWrite", false, [&] { return inner_.mayWrite(folder, name); });
    }
    int openForReading(int folder, const std::string& name) override {
        return pass("openForReading", -1, [&] { return inner_.openForReading(folder, name); });
    }
    bool lock(int fd, std::chrono::steady_clock::time_point deadline) override {
        return pass("lock", false, [&] { return inner_.lock(fd, deadline); });
    }
    ssize_t read(int fd, char* data, std::size_t size, off_t offset) override {
        return pass("read", ssize_t{-1}, [&] { return inner_.read(fd, data, size, offset); });
    }
    int createUnnamed(int folder) override {
        return pass("createUnnamed", -1, [&] { return inner_.createUnnamed(folder); });
    }
    bool linkUnnamed(int fd, int folder, std::string& name) override {
        return pass("linkUnnamed", false, [&] { return inner_.linkUnnamed(fd, folder, name); });
    }
    int createTemp(int folder, std::string& name) override {
        return pass("createTemp", -1, [&] { return inner_.createTemp(folder, name); });
    }
    int openForWriting(int folder, const std::string& name) override {
        return pass("openForWriting", -1, [&] { return inner_.openForWriting(folder, name); });
    }
    ssize_t write(int fd, const char* data, std::size_t size, off_t offset) override {
        return pass("write", ssize_t{-1}, [&] { return inner_.write(fd, data, size, offset); });
    }
    bool truncate(int fd, off_t size) override {
        return pass("truncate", false, [&] { return inner_.truncate(fd, size); });
    }
    bool setOwner(int fd, uid_t owner, gid_t group) override {
        return pass("setOwner", false, [&] { return inner_.setOwner(fd, owner, group); });
    }
    bool setMode(int fd, mode_t mode) override {
        return pass("setMode", false, [&] { return inner_.setMode(fd, mode); });
    }
    bool copyAttributes(int from, int to) override {
        return pass("copyAttributes", false, [&] { return inner_.copyAttributes(from, to); });
    }
    bool sync(int fd) override {
        return pass("sync", false, [&] { return inner_.sync(fd); });
    }
    bool close(int fd) override {
        return pass("close", false, [&] { return inner_.close(fd); });
    }
    bool rename(int folder, const std::string& from, const std::string& to) override {
        return pass("rename", false, [&] { return inner_.rename(folder, from, to); });
    }
    bool syncFolder(int folder) override {
        return pass("syncFolder", false, [&] { return inner_.syncFolder(folder); });
    }
    bool remove(int folder, const std::string& name) override {
        return pass("remove", false, [&] { return inner_.remove(folder, name); });
    }

protected:
    // Asked before each call, by the call's name; false fails it with EIO without
    // handing it on.
    virtual bool enter(const char* call) = 0;

private:
    template <typename Result, typename Call>
    Result pass(const char* name, Result failed, Call call) {
        if (!enter(name)) {
            errno = EIO;
            return failed;
        }
        return call();
    }

    FileSystem& inner_;
};

} // namespace qe::test
