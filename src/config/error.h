// Errors the core raises carry the exact text the user sees; nothing in the core
// catches them.
#pragma once

#include <stdexcept>
#include <string>
#include <sys/types.h>

namespace qe {

class ConfigError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A write that failed. The message is "Unable to write to <path>" as for every
// write; detail() adds the system's reason ("No space left on device") and, after
// a failed write in place, whether the file's old content was put back. Lines are
// separated by "\n"; empty when nothing is known.
class SaveError : public ConfigError {
public:
    SaveError(const std::string& path, std::string detail)
        : ConfigError("Unable to write to " + path), detail_(std::move(detail)) {}
    const std::string& detail() const noexcept { return detail_; }

private:
    std::string detail_;
};

// A save that gave up waiting for the lock another writer held; nothing was
// written.
class LockTimeoutError : public SaveError {
public:
    LockTimeoutError(const std::string& path, long long seconds)
        : SaveError(path, waitedText(seconds)), seconds_(seconds) {}
    long long seconds() const noexcept { return seconds_; }

private:
    static std::string waitedText(long long seconds) {
        if (seconds == 0) return "Another program held the file locked; nothing was written.";
        return "Another program held the file locked for all of the " + std::to_string(seconds) +
               (seconds == 1 ? " second" : " seconds") + " waited; nothing was written.";
    }

    long long seconds_;
};

// Why a file gave no text to load: nothing at its path, a failed open or read, not
// a regular file (a folder, a FIFO, a device); or why the load of its text stopped.
enum class ReadFault { None, Missing, Unreadable, NotRegular, LoadStops };

// A save whose target could not be read, with the fault; the detail is the reason.
class ReadError : public SaveError {
public:
    ReadError(const std::string& path, ReadFault fault, std::string detail)
        : SaveError(path, std::move(detail)), fault_(fault) {}
    ReadFault fault() const noexcept { return fault_; }

private:
    ReadFault fault_;
};

// A save refused because a symbolic link on the path, at its end or in a folder
// name, belongs to neither the caller nor root (Links::OwnOnly): someone else could
// point it at any file of the caller's.
class ForeignLinkError : public SaveError {
public:
    ForeignLinkError(const std::string& path, const std::string& link, uid_t owner)
        : SaveError(path, "The symbolic link " + link + " belongs to user " +
                              std::to_string(owner) + ", neither you nor root."),
          link_(link), owner_(owner) {}
    const std::string& link() const noexcept { return link_; }
    uid_t owner() const noexcept { return owner_; }

private:
    std::string link_;
    uid_t owner_;
};

} // namespace qe
