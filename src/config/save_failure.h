// How a save reports a failed step: SaveError with the system's reason.
#pragma once

#include "error.h"

#include <string>

namespace qe {

// The system's text for an error number, in English whatever the user's locale.
std::string reasonOf(int error);

// errno after a failed call; EIO for a call that failed without saying why.
int lastError();

// Throws SaveError "Unable to write to <path>" with detail, or the reason of error.
[[noreturn]] void unableToWrite(const std::string& path, std::string detail);
[[noreturn]] void unableToWrite(const std::string& path, int error);

// Throws ReadError for path with fault and the reason of error.
[[noreturn]] void unableToRead(const std::string& path, ReadFault fault, int error);

// The reason a save or a load gives for a target that is not a regular file.
std::string notRegularReason(bool isFolder);

} // namespace qe
