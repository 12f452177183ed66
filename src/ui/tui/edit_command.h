// quenbyconf edit [FILE]: the editor in the terminal.
#pragma once

#include <iosfwd>
#include <string>

namespace qe::tui {

// Runs the editor until it closes, with file opened first when not empty.
// Status 0, or 2 with a one-line message on err when this is no terminal the
// editor can run in.
int edit(const std::string& file, std::ostream& err);

} // namespace qe::tui
