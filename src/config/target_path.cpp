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
            errno = 0;
            Descriptor node(fs_, fs_.openNode(folder_.get(), name));
            if (!node.valid() && last && errno == ENOENT) return found(name, false, {});
            struct stat st {};
            if (!node.valid() || !fs_.stat(node.get(), st)) unableToWrite(path_, lastError());
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
        errno = 0;
        folder_ = Descriptor(fs_, fs_.openNode(AT_FDCWD, absolute ? "/" : "."));
        if (!folder_.valid()) unableToWrite(path_, lastError());
        if (absolute) shown_ = "/";
    }

    void stepInto(const std::string& name) {
        errno = 0;
        Descriptor next(fs_, fs_.openNode(folder_.get(), name));
        if (!next.valid()) unableToWrite(path_, lastError());
        folder_ = std::move(next);
        shown_ += name + "/";
    }

    void follow(const Descriptor& link, const struct stat& st, const std::string& name) {
        if (++hops_ > kMaxLinks) unableToWrite(path_, ELOOP);
        if (!mayFollow(st, links_)) throw ForeignLinkError(path_, shown_ + name, st.st_uid);
        std::string text;
        errno = 0;
        if (!fs_.readLink(link.get(), text)) unableToWrite(path_, lastError());
        if (text.empty()) unableToWrite(path_, ENOENT);
        pushNames(names_, text);
        if (text.front() == '/') startAt(text);
    }

    // A folder we may search but not read (mode 0711) stays open only to walk
    // through: a file in it is still written in place.
    TargetPath found(const std::string& name, bool exists, const struct stat& st) {
        errno = 0;
        Descriptor folder(fs_, fs_.openFolder(folder_.get(), "."));
        if (!folder.valid() && errno == EACCES) folder = std::move(folder_);
        if (!folder.valid()) unableToWrite(path_, lastError());
        return {std::move(folder), name, exists, st, shown_};
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
