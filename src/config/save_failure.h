// How a save reports a failed step: SaveError with the system's reason.
#pragma once

#include <string>

namespace qe {

// The system's text for an error number, in English whatever the user's locale.
std::string reasonOf(int error);

// errno after a failed call; EIO for a call that failed without saying why.
int lastError();

// Throws SaveError "Unable to write to <path>" with detail, or the reason of error.
[[noreturn]] void unableToWrite(const std::string& path, std::string detail);
[[noreturn]] void unableToWrite(const std::string& path, int error);

} // namespace qe
