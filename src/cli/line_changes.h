// Which lines two texts do not share, chosen among the shortest edit scripts as
// GNU diff chooses, so that our diffs read like the ones people know.
#pragma once

#include <string_view>
#include <vector>

namespace qe::cli {

struct LineChanges {
    std::vector<bool> removed; // one per line of before: true when not kept
    std::vector<bool> added;   // one per line of after: true when new
};

// Lines are compared whole, with their endings: "a\n", "a\r\n" and a last "a"
// are three different lines. Myers' O(ND) search after the common head and tail
// are set aside, with GNU diff's discarding of lines the other text lacks, its
// cost limit for texts that share little, and its sliding of changed runs.
LineChanges changedLines(const std::vector<std::string_view>& before,
                         const std::vector<std::string_view>& after);

} // namespace qe::cli
