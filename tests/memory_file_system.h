// A FileSystem in memory that knows what a power cut would keep: file data as of
// the file's last sync, and a folder's names as of the folder's last sync, with
// any of the changes made since in it.
#pragma once

#include "config/file_system.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace qe::test {

class MemoryFileSystem : public FileSystem {
public:
    // Full path of each file a name reaches -> its bytes.
    using Files = std::map<std::string, std::string>;

    MemoryFileSystem() { nodes_[kRoot].folder = true; }

    // Whether files without a name (O_TMPFILE) can be made.
    bool unnamedFiles = true;

    // The disk before a save, all of it synced. Paths are absolute.
    void makeFolder(const std::string& path) { place(path, newNode(true, 0755)); }
    void makeFile(const std::string& path, const std::string& bytes, mode_t mode = 0644) {
        const ino_t ino = newNode(false, mode);
        nodes_[ino].data = nodes_[ino].synced = bytes;
        nodes_[ino].dirty.assign(bytes.size(), false);
        place(path, ino);
    }
    // A second name for the file at existing.
    void makeLink(const std::string& existing, const std::string& path) {
        place(path, resolve(existing));
    }

    // Every set of files a power cut now may leave, each once: any of the changes of
    // a folder's names since its last sync kept, in their order (a change whose
    // source is gone then is not kept), and each file with data written since its
    // last sync as it was at that sync, with that data zeroed, or with its first half
    // only.
    std::set<Files> afterPowerCut() const {
        std::vector<const Change*> changes;
        for (const auto& [ino, node] : nodes_)
            for (const Change& change : node.pending)
                changes.push_back(&change);
        std::set<Files> states;
        for (unsigned long kept = 0; kept < 1ul << changes.size(); ++kept)
            addTorn(namesKeeping(changes, kept), states);
        return states;
    }

    int openNode(int folder, const std::string& name, int& fd) override {
        if (folder == AT_FDCWD && (name == "/" || name == ".")) return open(kRoot, fd);
        return open(find(folder, name), fd);
    }
    int openFolder(int folder, const std::string& name, int& fd) override {
        const ino_t ino = name == "." ? nodeOf(folder) : find(folder, name);
        if (ino != 0 && !nodes_.at(ino).folder) return ENOTDIR;
        return open(ino, fd);
    }
    int stat(int fd, struct stat& st) override { return describe(nodeOf(fd), st); }
    int statAt(int folder, const std::string& name, struct stat& st) override {
        return describe(find(folder, name), st);
    }
    int readLink(int, std::string&) override { return EINVAL; }
    int mayWrite(int folder, const std::string& name) override {
        return find(folder, name) != 0 ? 0 : ENOENT;
    }
    int openForReading(int folder, const std::string& name, int& fd) override {
        return open(find(folder, name), fd);
    }
    int lock(int fd, std::chrono::steady_clock::time_point) override {
        return nodeOf(fd) != 0 ? 0 : EBADF;
    }
    int read(int fd, char* data, std::size_t size, off_t offset, std::size_t& done) override {
        const ino_t ino = nodeOf(fd);
        if (ino == 0) return EBADF;
        const std::string& bytes = nodes_.at(ino).data;
        const std::size_t from = std::min(bytes.size(), static_cast<std::size_t>(offset));
        done = bytes.copy(data, size, from);
        return 0;
    }
    int createUnnamed(int folder, int& fd) override {
        if (!unnamedFiles) return EOPNOTSUPP;
        return nodeOf(folder) == 0 ? EBADF : open(newNode(false, 0600), fd);
    }
    int linkUnnamed(int fd, int folder, std::string& name) override {
        const ino_t ino = nodeOf(fd);
        return ino == 0 || nodeOf(folder) == 0 ? EBADF : addName(folder, name, ino);
    }
    int createTemp(int folder, std::string& name, int& fd) override {
        if (nodeOf(folder) == 0) return EBADF;
        const ino_t ino = newNode(false, 0600);
        const int error = addName(folder, name, ino);
        return error != 0 ? error : open(ino, fd);
    }
    int openForWriting(int folder, const std::string& name, int& fd) override {
        return open(find(folder, name), fd);
    }
    int write(int fd, const char* data, std::size_t size, off_t offset,
              std::size_t& done) override {
        const ino_t ino = nodeOf(fd);
        if (ino == 0) return EBADF;
        Node& node = nodes_.at(ino);
        const std::size_t at = static_cast<std::size_t>(offset);
        if (node.data.size() < at + size) resize(node, at + size);
        node.data.replace(at, size, data, size);
        std::fill_n(node.dirty.begin() + static_cast<std::ptrdiff_t>(at), size, true);
        done = size;
        return 0;
    }
    int truncate(int fd, off_t size) override {
        const ino_t ino = nodeOf(fd);
        if (ino == 0) return EBADF;
        resize(nodes_.at(ino), static_cast<std::size_t>(size));
        return 0;
    }
    int setOwner(int fd, uid_t, gid_t) override { return nodeOf(fd) != 0 ? 0 : EBADF; }
    int setMode(int fd, mode_t mode) override {
        const ino_t ino = nodeOf(fd);
        if (ino == 0) return EBADF;
        nodes_.at(ino).mode = mode & 07777;
        return 0;
    }
    int copyAttributes(int from, int to) override {
        return nodeOf(from) != 0 && nodeOf(to) != 0 ? 0 : EBADF;
    }
    int sync(int fd) override {
        const ino_t ino = nodeOf(fd);
        if (ino == 0) return EBADF;
        Node& node = nodes_.at(ino);
        node.synced = node.data;
        node.dirty.assign(node.data.size(), false);
        node.syncedNames = node.names;
        node.pending.clear();
        return 0;
    }
    int close(int fd) override { return open_.erase(fd) == 1 ? 0 : EBADF; }
    int rename(int folder, const std::string& from, const std::string& to) override {
        const ino_t ino = find(folder, from);
        if (ino == 0) return ENOENT;
        Node& node = nodes_.at(nodeOf(folder));
        node.names.erase(from);
        node.names[to] = ino;
        node.pending.push_back({from, to, ino});
        return 0;
    }
    int syncFolder(int folder) override { return sync(folder); }
    int remove(int folder, const std::string& name) override {
        const ino_t ino = find(folder, name);
        if (ino == 0) return ENOENT;
        nodes_.at(nodeOf(folder)).names.erase(name);
        nodes_.at(nodeOf(folder)).pending.push_back({name, "", ino});
        return 0;
    }
    mode_t umask() override { return 022; }

private:
    static constexpr ino_t kRoot = 1;

    // A change of a folder's names: from (if any) gone, to (if any) naming node.
    struct Change {
        std::string from, to;
        ino_t node;
    };
    struct Node {
        bool folder = false;
        mode_t mode = 0644;
        std::string data, synced;                        // file content now and as of the last sync
        std::vector<bool> dirty;                         // which bytes of data were written since
        std::map<std::string, ino_t> names, syncedNames; // a folder's
        std::vector<Change> pending;                     // a folder's changes since its last sync
    };
    using Names = std::map<ino_t, std::map<std::string, ino_t>>; // folder -> its names

    ino_t newNode(bool folder, mode_t mode) {
        const ino_t ino = nodes_.rbegin()->first + 1;
        nodes_[ino].folder = folder;
        nodes_[ino].mode = mode;
        return ino;
    }
    // Opens node ino as fd; ENOENT for no node (0).
    int open(ino_t ino, int& fd) {
        if (ino == 0) return ENOENT;
        open_[nextFd_] = ino;
        fd = nextFd_++;
        return 0;
    }
    // The node open as fd; 0 for none.
    ino_t nodeOf(int fd) const {
        const auto it = open_.find(fd);
        return it != open_.end() ? it->second : 0;
    }
    // The node name reaches in the folder open as folder; 0 for none.
    ino_t find(int folder, const std::string& name) const {
        const ino_t at = nodeOf(folder);
        if (at == 0) return 0;
        const auto& names = nodes_.at(at).names;
        const auto it = names.find(name);
        return it != names.end() ? it->second : 0;
    }
    // Gives ino a name from pattern, whose last six characters become a number.
    int addName(int folder, std::string& pattern, ino_t ino) {
        Node& node = nodes_.at(nodeOf(folder));
        std::string number = std::to_string(ino);
        pattern.replace(pattern.size() - 6, 6, std::string(6 - number.size(), '0') + number);
        if (!node.names.emplace(pattern, ino).second) return EEXIST;
        node.pending.push_back({"", pattern, ino});
        return 0;
    }
    static void resize(Node& node, std::size_t size) {
        node.data.resize(size, '\0');
        node.dirty.resize(size, true);
    }
    int describe(ino_t ino, struct stat& st) const {
        if (ino == 0) return ENOENT;
        const Node& node = nodes_.at(ino);
        st = {};
        st.st_dev = 1;
        st.st_ino = ino;
        st.st_mode = (node.folder ? S_IFDIR : S_IFREG) | node.mode;
        st.st_size = static_cast<off_t>(node.data.size());
        st.st_uid = ::geteuid();
        st.st_gid = ::getegid();
        for (const auto& entry : nodes_)
            st.st_nlink += static_cast<nlink_t>(
                std::count_if(entry.second.names.begin(), entry.second.names.end(),
                              [&](const auto& name) { return name.second == ino; }));
        return 0;
    }
    void place(const std::string& path, ino_t ino) {
        const std::size_t slash = path.rfind('/');
        const ino_t folder = slash == 0 ? kRoot : resolve(path.substr(0, slash));
        Node& node = nodes_.at(folder);
        node.names[path.substr(slash + 1)] = ino;
        node.syncedNames = node.names;
    }
    ino_t resolve(const std::string& path) const {
        ino_t at = kRoot;
        for (std::size_t pos = 1; pos < path.size();) {
            const std::size_t end = std::min(path.find('/', pos), path.size());
            at = nodes_.at(at).names.at(path.substr(pos, end - pos));
            pos = end + 1;
        }
        return at;
    }

    // Every folder's synced names with the changes whose bits are set in kept.
    Names namesKeeping(const std::vector<const Change*>& changes, unsigned long kept) const {
        Names names;
        for (const auto& [ino, node] : nodes_)
            if (node.folder) names[ino] = node.syncedNames;
        for (const auto& [ino, node] : nodes_)
            for (const Change& change : node.pending) {
                const auto bit = std::find(changes.begin(), changes.end(), &change);
                if (((kept >> (bit - changes.begin())) & 1) == 0) continue;
                auto& folder = names[ino];
                const auto from = folder.find(change.from);
                if (!change.from.empty() && (from == folder.end() || from->second != change.node))
                    continue;
                if (!change.from.empty()) folder.erase(from);
                if (!change.to.empty()) folder[change.to] = change.node;
            }
        return names;
    }

    // The files that names reach, by path.
    void reach(const Names& names, ino_t folder, const std::string& path,
               std::map<std::string, ino_t>& files) const {
        for (const auto& [name, ino] : names.at(folder)) {
            if (nodes_.at(ino).folder)
                reach(names, ino, path + name + "/", files);
            else
                files[path + name] = ino;
        }
    }

    // The three ways a file's unsynced data may come out, or only one for none.
    std::vector<std::string> tornWays(const Node& node) const {
        std::string zeroed = node.data, half = node.data;
        bool any = node.data.size() != node.synced.size();
        for (std::size_t i = 0; i < node.data.size(); ++i) {
            if (!node.dirty[i]) continue;
            any = true;
            zeroed[i] = '\0';
            if (i >= node.data.size() / 2) half[i] = i < node.synced.size() ? node.synced[i] : '\0';
        }
        if (!any) return {node.data};
        return {node.synced, zeroed, half};
    }

    // Adds every combination of the ways the files that names reach may come out.
    void addTorn(const Names& names, std::set<Files>& states) const {
        std::map<std::string, ino_t> files;
        reach(names, kRoot, "/", files);
        std::vector<std::pair<std::string, std::vector<std::string>>> ways;
        for (const auto& [path, ino] : files)
            ways.emplace_back(path, tornWays(nodes_.at(ino)));
        std::vector<std::size_t> pick(ways.size(), 0);
        for (;;) {
            Files state;
            for (std::size_t i = 0; i < ways.size(); ++i)
                state[ways[i].first] = ways[i].second[pick[i]];
            states.insert(std::move(state));
            std::size_t i = 0;
            while (i < pick.size() && ++pick[i] == ways[i].second.size())
                pick[i++] = 0;
            if (i == pick.size()) return;
        }
    }

    std::map<ino_t, Node> nodes_;
    std::map<int, ino_t> open_;
    int nextFd_ = 3;
};

} // namespace qe::test
