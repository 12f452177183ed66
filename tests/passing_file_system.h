// A FileSystem that hands every call to another one after asking whether it may:
// the base of tests that stop a save at a call they choose.
#pragma once

#include "config/file_system.h"

#include <cerrno>

namespace qe::test {

class PassingFileSystem : public FileSystem {
public:
    explicit PassingFileSystem(FileSystem& inner) : inner_(inner) {}

    int openNode(int folder, const std::string& name, int& fd) override {
        return pass("openNode", [&] { return inner_.openNode(folder, name, fd); });
    }
    int openFolder(int folder, const std::string& name, int& fd) override {
        return pass("openFolder", [&] { return inner_.openFolder(folder, name, fd); });
    }
    int stat(int fd, struct stat& st) override {
        return pass("stat", [&] { return inner_.stat(fd, st); });
    }
    int statAt(int folder, const std::string& name, struct stat& st) override {
        return pass("statAt", [&] { return inner_.statAt(folder, name, st); });
    }
    int readLink(int link, std::string& text) override {
        return pass("readLink", [&] { return inner_.readLink(link, text); });
    }
    int mayWrite(int folder, const std::string& name) override {
        return pass("mayWrite", [&] { return inner_.mayWrite(folder, name); });
    }
    int openForReading(int folder, const std::string& name, int& fd) override {
        return pass("openForReading", [&] { return inner_.openForReading(folder, name, fd); });
    }
    int lock(int fd, std::chrono::steady_clock::time_point deadline) override {
        return pass("lock", [&] { return inner_.lock(fd, deadline); });
    }
    int read(int fd, char* data, std::size_t size, off_t offset, std::size_t& done) override {
        return pass("read", [&] { return inner_.read(fd, data, size, offset, done); });
    }
    int createUnnamed(int folder, int& fd) override {
        return pass("createUnnamed", [&] { return inner_.createUnnamed(folder, fd); });
    }
    int linkUnnamed(int fd, int folder, std::string& name) override {
        return pass("linkUnnamed", [&] { return inner_.linkUnnamed(fd, folder, name); });
    }
    int createTemp(int folder, std::string& name, int& fd) override {
        return pass("createTemp", [&] { return inner_.createTemp(folder, name, fd); });
    }
    int openForWriting(int folder, const std::string& name, int& fd) override {
        return pass("openForWriting", [&] { return inner_.openForWriting(folder, name, fd); });
    }
    int write(int fd, const char* data, std::size_t size, off_t offset,
              std::size_t& done) override {
        return pass("write", [&] { return inner_.write(fd, data, size, offset, done); });
    }
    int truncate(int fd, off_t size) override {
        return pass("truncate", [&] { return inner_.truncate(fd, size); });
    }
    int setOwner(int fd, uid_t owner, gid_t group) override {
        return pass("setOwner", [&] { return inner_.setOwner(fd, owner, group); });
    }
    int setMode(int fd, mode_t mode) override {
        return pass("setMode", [&] { return inner_.setMode(fd, mode); });
    }
    int copyAttributes(int from, int to) override {
        return pass("copyAttributes", [&] { return inner_.copyAttributes(from, to); });
    }
    int sync(int fd) override {
        return pass("sync", [&] { return inner_.sync(fd); });
    }
    int close(int fd) override {
        return pass("close", [&] { return inner_.close(fd); });
    }
    int rename(int folder, const std::string& from, const std::string& to) override {
        return pass("rename", [&] { return inner_.rename(folder, from, to); });
    }
    int syncFolder(int folder) override {
        return pass("syncFolder", [&] { return inner_.syncFolder(folder); });
    }
    int remove(int folder, const std::string& name) override {
        return pass("remove", [&] { return inner_.remove(folder, name); });
    }
    mode_t umask() override { return inner_.umask(); }

protected:
    // Asked before each call, by the call's name; false fails it with EIO without
    // handing it on.
    virtual bool enter(const char* call) = 0;

private:
    template <typename Call> int pass(const char* name, Call call) {
        return enter(name) ? call() : EIO;
    }

    FileSystem& inner_;
};

} // namespace qe::test
