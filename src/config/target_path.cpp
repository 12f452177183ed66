#include "target_path.h"

#include "error.h"
#include "save_failure.h"

#include <cerrno>
#include <deque>
#include <fcntl.h>
#include <unistd.h>

namespace qe {

namespace {

constexpr int kMaxLinks = 40;

// Puts the names of text in front of names; a text ending in "/" ends in an empty
// name, which asks for a folder.
void pushNames(std::deque<std::string>& names, const std::string& text) {
    std::deque<std::string> front;
    for (std::size_t pos = 0; pos <= text.size();) {
        const std::size_t slash = std::min(text.find('/', pos), text.size());
        if (slash > pos || slash == text.size()) front.push_back(text.substr(pos, slash - pos));
        pos = slash + 1;
    }
    names.insert(names.begin(), front.begin(), front.end());
}

bool mayFollow(const struct stat& link, Links links) {
    return links == Links::Follow || link.st_uid == 0 || link.st_uid == ::geteuid();
}

// The walk through one path; shown is the path of folder as walked, for messages.
class Walk {
public:
    Walk(const std::string& path, Links links, FileSystem& fs)
        : path_(path), links_(links), fs_(fs) {
        pushNames(names_, path);
        startAt(path);
    }

    TargetPath run() {
        while (!names_.empty()) {
            const std::string name = names_.front();
            names_.pop_front();
            const bool last = names_.empty();
            if (name.empty() || name == "." || name == "..") {
                if (last) unableToRead(path_, ReadFault::NotRegular, EISDIR);
                if (name == "..") stepInto(name);
                continue;
            }
            int fd = -1;
            const int error = fs_.openNode(folder_.get(), name, fd);
            if (error == ENOENT && last) return found(name, false, {});
            if (error != 0) unableToWrite(path_, error);
            Descriptor node(fs_, fd);
            struct stat st {};
            if (const int failed = fs_.stat(node.get(), st)) unableToWrite(path_, failed);
            if (S_ISLNK(st.st_mode)) {
                follow(node, st, name);
            } else if (last) {
                return found(name, true, st);
            } else if (!S_ISDIR(st.st_mode)) {
                unableToWrite(path_, ENOTDIR);
            } else {
                folder_ = std::move(node);
                shown_ += name + "/";
            }
        }
        unableToRead(path_, ReadFault::NotRegular, EISDIR); // "/" or ""
    }

private:
    void startAt(const std::string& text) {
        const bool absolute = !text.empty() && text.front() == '/';
        folder_ = open(AT_FDCWD, absolute ? "/" : ".");
        if (absolute) shown_ = "/";
    }

    void stepInto(const std::string& name) {
        folder_ = open(folder_.get(), name);
        shown_ += name + "/";
    }

    void follow(const Descriptor& link, const struct stat& st, const std::string& name) {
        if (++hops_ > kMaxLinks) unableToWrite(path_, ELOOP);
        if (!mayFollow(st, links_)) throw ForeignLinkError(path_, shown_ + name, st.st_uid);
        std::string text;
        if (const int error = fs_.readLink(link.get(), text)) unableToWrite(path_, error);
        if (text.empty()) unableToWrite(path_, ENOENT);
        pushNames(names_, text);
        if (text.front() == '/') startAt(text);
    }

    // A folder we may search but not read (mode 0711) stays open only to walk
    // through: a file in it is still written in place.
    TargetPath found(const std::string& name, bool exists, const struct stat& st) {
        int fd = -1;
        const int error = fs_.openFolder(folder_.get(), ".", fd);
        if (error != 0 && error != EACCES) unableToWrite(path_, error);
        Descriptor folder = error == 0 ? Descriptor(fs_, fd) : std::move(folder_);
        return {std::move(folder), name, exists, st, shown_};
    }

    // Opens name of folder to walk through it.
    Descriptor open(int folder, const std::string& name) {
        int fd = -1;
        if (const int error = fs_.openNode(folder, name, fd)) unableToWrite(path_, error);
        return Descriptor(fs_, fd);
    }

    const std::string& path_;
    Links links_;
    FileSystem& fs_;
    std::deque<std::string> names_;
    Descriptor folder_;
    std::string shown_;
    int hops_ = 0;
};

} // namespace

TargetPath findTarget(const std::string& path, Links links, FileSystem& fs) {
    return Walk(path, links, fs).run();
}

} // namespace qe
