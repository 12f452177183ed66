// The command line of quenbyconf: options anywhere, one verb, its operands.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace qe::cli {

// Exit statuses, one for each kind of outcome.
enum Status {
    kDone = 0,        // done, whether anything changed or not
    kRefused = 1,     // a value refused, or the check found something
    kUsage = 2,       // a wrong command line
    kUnreadable = 3,  // FILE does not exist or cannot be read
    kUnwritable = 4,  // FILE cannot be written
    kLoadStopped = 5, // FILE holds a value that stops the load
    kLocked = 6,      // another writer kept FILE locked past the wait
};

// Runs one command: args without the program name.
int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err);

} // namespace qe::cli
