#include "target_path.h"

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
    Walk(Links links, FileSystem& fs) : links_(links), fs_(fs) {}

    SaveFailure run(const std::string& path, TargetPath& target) {
        pushNames(names_, path);
        if (SaveFailure failure = startAt(path)) return failure;
        while (!names_.empty()) {
            const std::string name = names_.front();
            names_.pop_front();
            SaveFailure failure = step(name, names_.empty(), target);
            if (failure || target.folder.valid()) return failure;
        }
        return readFailure(ReadFault::NotRegular, EISDIR); // "/" or ""
    }

private:
    // Takes name, the path's last when last, in the folder reached; fills target
    // once it is found.
    SaveFailure step(const std::string& name, bool last, TargetPath& target) {
        if (name.empty() || name == "." || name == "..") {
            if (last) return readFailure(ReadFault::NotRegular, EISDIR);
            return name == ".." ? stepInto(name) : SaveFailure{};
        }
        Descriptor node;
        const int error = open(folder_.get(), name, node);
        if (error == ENOENT && last) return found(name, false, {}, target);
        if (error != 0) return writeFailure(error);
        struct stat st {};
        if (const int failed = fs_.stat(node.get(), st)) return writeFailure(failed);
        if (S_ISLNK(st.st_mode)) return follow(node, st, name);
        if (last) return found(name, true, st, target);
        if (!S_ISDIR(st.st_mode)) return writeFailure(ENOTDIR);
        folder_ = std::move(node);
        shown_ += name + "/";
        return {};
    }

    SaveFailure startAt(const std::string& text) {
        const bool absolute = !text.empty() && text.front() == '/';
        if (const int error = open(AT_FDCWD, absolute ? "/" : ".", folder_))
            return writeFailure(error);
        if (absolute) shown_ = "/";
        return {};
    }

    SaveFailure stepInto(const std::string& name) {
        Descriptor next;
        if (const int error = open(folder_.get(), name, next)) return writeFailure(error);
        folder_ = std::move(next);
        shown_ += name + "/";
        return {};
    }

    SaveFailure follow(const Descriptor& link, const struct stat& st, const std::string& name) {
        if (++hops_ > kMaxLinks) return writeFailure(ELOOP);
        if (!mayFollow(st, links_)) return foreignLink(shown_ + name, st.st_uid);
        std::string text;
        if (const int error = fs_.readLink(link.get(), text)) return writeFailure(error);
        if (text.empty()) return writeFailure(ENOENT);
        pushNames(names_, text);
        return text.front() == '/' ? startAt(text) : SaveFailure{};
    }

    // A folder we may search but not read (mode 0711) stays open only to walk
    // through: a file in it is still written in place.
    SaveFailure found(const std::string& name, bool exists, const struct stat& st,
                      TargetPath& target) {
        int fd = -1;
        const int error = fs_.openFolder(folder_.get(), ".", fd);
        if (error != 0 && error != EACCES) return writeFailure(error);
        Descriptor folder = error == 0 ? Descriptor(fs_, fd) : std::move(folder_);
        target = {std::move(folder), name, exists, st, shown_};
        return {};
    }

    // Opens name of folder into node, to walk through it; the error, or 0.
    int open(int folder, const std::string& name, Descriptor& node) {
        int fd = -1;
        const int error = fs_.openNode(folder, name, fd);
        if (error == 0) node = Descriptor(fs_, fd);
        return error;
    }

    Links links_;
    FileSystem& fs_;
    std::deque<std::string> names_;
    Descriptor folder_;
    std::string shown_;
    int hops_ = 0;
};

} // namespace

SaveFailure findTarget(const std::string& path, Links links, FileSystem& fs, TargetPath& target) {
    return Walk(links, fs).run(path, target);
}

} // namespace qe
