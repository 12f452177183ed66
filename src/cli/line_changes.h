// Which lines two texts do not share: a shortest edit script between their lines.
#pragma once

#include <string_view>
#include <vector>

namespace qe::cli {

struct LineChanges {
    std::vector<bool> removed; // one per line of before: true when not kept
    std::vector<bool> added;   // one per line of after: true when new
};

// Lines are compared whole, with their endings: "a\n", "a\r\n" and a last "a"
// are three different lines. The script is dtl's (Wu's O(NP) search); for texts
// so far apart that its search would pass two million path points, every line is
// marked, which is still a script that turns before into after.
LineChanges changedLines(const std::vector<std::string_view>& before,
                         const std::vector<std::string_view>& after);

} // namespace qe::cli
