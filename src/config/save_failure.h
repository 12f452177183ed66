// How a save reports a failed step: a SaveFailure handed back to the save's
// boundary, which throws it as a SaveError with the system's reason.
#pragma once

#include "error.h"

#include <string>
#include <sys/types.h>

namespace qe {

// The system's text for an error number, in English whatever the user's locale.
std::string reasonOf(int error);

// errno after a failed call; EIO for a call that failed without saying why.
int lastError();

// Why a step of a save failed; a default one: the step was done.
struct SaveFailure {
    enum class Kind { None, Write, Read, LockTimeout, ForeignLink };
    Kind kind = Kind::None;
    int error = 0;                     // the system's error number, where one applies
    ReadFault fault = ReadFault::None; // of a Read
    std::string detail;                // the SaveError's detail
    std::string link;                  // of a ForeignLink: the link as walked,
    uid_t owner = 0;                   // and its owner

    explicit operator bool() const { return kind != Kind::None; }
};

// A failed write: the reason of error, or detail.
SaveFailure writeFailure(int error);
SaveFailure writeFailure(std::string detail);
// A failed read with fault and the reason of error, or detail.
SaveFailure readFailure(ReadFault fault, int error);
SaveFailure readFailure(ReadFault fault, std::string detail);
// Another writer kept the lock past the save's deadline.
SaveFailure lockTimeout();
// A link on the path that the save may not follow (ForeignLinkError).
SaveFailure foreignLink(std::string link, uid_t owner);

// Throws failure, which is not empty, for path: SaveError "Unable to write to
// <path>" with its detail, ReadError with its fault, ForeignLinkError, or
// LockTimeoutError after a wait of lockWait seconds.
[[noreturn]] void raise(const SaveFailure& failure, const std::string& path, long long lockWait);

// The reason a save or a load gives for a target that is not a regular file.
std::string notRegularReason(bool isFolder);

} // namespace qe
