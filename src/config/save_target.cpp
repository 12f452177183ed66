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

// Refuses a target that a save may not replace: not a regular file, or marked
// read-only (none of its write bits set, so even the superuser keeps off it).
void refuseUnwritable(const HeldFile& held, const struct stat& st) {
    if (!S_ISREG(st.st_mode))
        throw ReadError(held.path, ReadFault::NotRegular, notRegularReason(S_ISDIR(st.st_mode)));
    if ((st.st_mode & 0222) == 0) unableToWrite(held.path, EACCES);
}

// Locks the folder of a target that does not exist; false when the name has come
// into being meanwhile.
bool lockMissing(HeldFile& held, TargetPath& where) {
    FileSystem& fs = held.fs;
    errno = 0;
    if (!takeLock(held, where.folder.get())) unableToWrite(held.path, lastError());
    struct stat st;
    if (fs.statAt(where.folder.get(), where.name, st)) return false;
    if (errno != ENOENT) unableToWrite(held.path, lastError());
    held.folder = std::move(where.folder);
    held.folderPath = where.folderPath;
    held.name = where.name;
    return true;
}

// Locks an existing target; false when the name has gone or, once locked, names
// another file (a save renamed its file over it meanwhile).
bool lockExisting(HeldFile& held, TargetPath& where) {
    FileSystem& fs = held.fs;
    const int folder = where.folder.get();
    refuseUnwritable(held, where.st);
    errno = 0;
    Descriptor file(fs, fs.openForReading(folder, where.name));
    if (!file.valid() && (errno == ENOENT || errno == ELOOP)) return false;
    if (!file.valid()) unableToRead(held.path, ReadFault::Unreadable, lastError());
    struct stat st, now;
    if (!takeLock(held, file.get()) || !fs.stat(file.get(), st))
        unableToWrite(held.path, lastError());
    if (!fs.statAt(folder, where.name, now)) {
        if (errno == ENOENT) return false;
        unableToWrite(held.path, lastError());
    }
    if (!sameFile(st, now)) return false;
    refuseUnwritable(held, st);
    if (!fs.mayWrite(folder, where.name)) unableToWrite(held.path, lastError());
    held.folder = std::move(where.folder);
    held.folderPath = where.folderPath;
    held.name = where.name;
    held.file = std::move(file);
    held.st = st;
    return true;
}

void lockTarget(HeldFile& held) {
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        TargetPath where = findTarget(held.path, held.options.links, held.fs);
        if (where.exists ? lockExisting(held, where) : lockMissing(held, where)) return;
    }
    unableToWrite(held.path, "The file kept being replaced while the save waited for it.");
}

void readTarget(HeldFile& held) {
    errno = 0;
    if (held.file.valid() &&
        !readAll(held.fs, held.file.get(), static_cast<std::size_t>(held.st.st_size), held.bytes))
        unableToRead(held.path, ReadFault::Unreadable, lastError());
}

} // namespace

SaveTarget::SaveTarget(const std::string& path, TargetOptions options)
    : SaveTarget(path, options, FileSystem::real()) {}

SaveTarget::SaveTarget(const std::string& path, TargetOptions options, FileSystem& fs) {
    auto state = std::make_unique<State>(path, options, fs);
    lockTarget(*state);
    readTarget(*state);
    state_ = state.release();
}

SaveTarget::~SaveTarget() {
    delete state_;
}

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
    return backUpHeld(*state_);
}

void SaveTarget::replace(std::string_view bytes) {
    HeldFile& held = *state_;
    struct stat now {};
    errno = 0;
    if (held.file.valid() && !held.fs.stat(held.file.get(), now))
        unableToWrite(held.path, lastError());
    // Compared with the file itself, so that the content read need not be kept.
    if (held.file.valid() &&
        holds(held.fs, held.file.get(), static_cast<std::size_t>(now.st_size), bytes))
        return;
    replaceHeld(held, bytes);
    held.bytes = std::string();
}

} // namespace qe
