#include "save_target.h"

#include "file_backup.h"
#include "file_content.h"
#include "file_replace.h"
#include "save_failure.h"
#include "target_path.h"

#include <cerrno>
#include <memory>

namespace qe {

struct SaveTarget::State : HeldFile {
    using HeldFile::HeldFile;
};

namespace {

// How often the path may name another file once locked before the save gives up.
constexpr int kMaxAttempts = 100;

// Throws failure, when there is one, for the held target: the save's one throw.
void raiseIf(const HeldFile& held, const SaveFailure& failure) {
    if (failure) raise(failure, held.path, held.options.lockWait.count());
}

// Refuses a target that a save may not replace: not a regular file, or marked
// read-only (none of its write bits set, so even the superuser keeps off it).
SaveFailure refuseUnwritable(const struct stat& st) {
    if (!S_ISREG(st.st_mode))
        return readFailure(ReadFault::NotRegular, notRegularReason(S_ISDIR(st.st_mode)));
    if ((st.st_mode & 0222) == 0) return writeFailure(EACCES);
    return {};
}

// Makes the target found the held one.
void hold(HeldFile& held, TargetPath& where) {
    held.folder = std::move(where.folder);
    held.folderPath = where.folderPath;
    held.name = where.name;
}

// Locks the folder of a target that does not exist; locked false when the name has
// come into being meanwhile.
SaveFailure lockMissing(HeldFile& held, TargetPath& where, bool& locked) {
    if (SaveFailure failure = takeLock(held, where.folder.get())) return failure;
    struct stat st;
    const int error = held.fs.statAt(where.folder.get(), where.name, st);
    if (error == 0) return {};
    if (error != ENOENT) return writeFailure(error);
    hold(held, where);
    locked = true;
    return {};
}

// Opens and locks an existing target into file; locked false when the name has gone
// or, once locked, names another file (a save renamed its file over it meanwhile).
SaveFailure lockFile(HeldFile& held, TargetPath& where, Descriptor& file, struct stat& st,
                     bool& locked) {
    FileSystem& fs = held.fs;
    const int folder = where.folder.get();
    int fd = -1;
    int error = fs.openForReading(folder, where.name, fd);
    if (error == ENOENT || error == ELOOP) return {};
    if (error != 0) return readFailure(ReadFault::Unreadable, error);
    file = Descriptor(fs, fd);
    if (SaveFailure failure = takeLock(held, file.get())) return failure;
    error = fs.stat(file.get(), st);
    if (error != 0) return writeFailure(error);
    struct stat now;
    error = fs.statAt(folder, where.name, now);
    if (error == ENOENT) return {};
    if (error != 0) return writeFailure(error);
    locked = sameFile(st, now);
    return {};
}

// Locks an existing target and checks that the caller may replace it.
SaveFailure lockExisting(HeldFile& held, TargetPath& where, bool& locked) {
    if (SaveFailure failure = refuseUnwritable(where.st)) return failure;
    Descriptor file;
    struct stat st;
    if (SaveFailure failure = lockFile(held, where, file, st, locked); failure || !locked)
        return failure;
    if (SaveFailure failure = refuseUnwritable(st)) return failure;
    if (const int error = held.fs.mayWrite(where.folder.get(), where.name))
        return writeFailure(error);
    hold(held, where);
    held.file = std::move(file);
    held.st = st;
    return {};
}

SaveFailure lockTarget(HeldFile& held) {
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        TargetPath where;
        if (SaveFailure failure = findTarget(held.path, held.options.links, held.fs, where))
            return failure;
        bool locked = false;
        const SaveFailure failure =
            where.exists ? lockExisting(held, where, locked) : lockMissing(held, where, locked);
        if (failure || locked) return failure;
    }
    return writeFailure("The file kept being replaced while the save waited for it.");
}

SaveFailure readTarget(HeldFile& held) {
    if (!held.file.valid()) return {};
    const auto size = static_cast<std::size_t>(held.st.st_size);
    if (const int error = readAll(held.fs, held.file.get(), size, held.bytes))
        return readFailure(ReadFault::Unreadable, error);
    return {};
}

// Whether the held target exists and already holds bytes: compared with the file
// itself, so that the content read need not be kept.
SaveFailure holdsAlready(const HeldFile& held, std::string_view bytes, bool& same) {
    if (!held.file.valid()) return {};
    struct stat now {};
    if (const int error = held.fs.stat(held.file.get(), now)) return writeFailure(error);
    same = holds(held.fs, held.file.get(), static_cast<std::size_t>(now.st_size), bytes);
    return {};
}

} // namespace

SaveTarget::SaveTarget(const std::string& path, TargetOptions options)
    : SaveTarget(path, options, FileSystem::real()) {}

SaveTarget::SaveTarget(const std::string& path, TargetOptions options, FileSystem& fs)
    : state_(std::make_unique<State>(path, options, fs)) {
    raiseIf(*state_, lockTarget(*state_));
    raiseIf(*state_, readTarget(*state_));
}

SaveTarget::~SaveTarget() = default;

bool SaveTarget::exists() const {
    return state_->file.valid();
}

const std::string& SaveTarget::bytes() const {
    return state_->bytes;
}

std::string SaveTarget::takeBytes() {
    return std::move(state_->bytes);
}

std::string SaveTarget::backUp() {
    std::string copy;
    raiseIf(*state_, backUpHeld(*state_, copy));
    return copy;
}

void SaveTarget::replace(std::string_view bytes) {
    HeldFile& held = *state_;
    bool same = false;
    raiseIf(held, holdsAlready(held, bytes, same));
    if (same) return;
    raiseIf(held, replaceHeld(held, bytes));
    held.bytes = std::string();
}

} // namespace qe
