#include "line_changes.h"

#include <algorithm>
#include <dtl/dtl.hpp>

namespace qe::cli {
namespace {

using Lines = std::vector<std::string_view>;

// Whether dtl's search for the script stays within its limit of path points: dtl
// 1.20 starts again past it and then loses track of line numbers. The points are
// (p + 1)(delta + 1) + p(p + 1), p being the lines the shorter text loses.
bool withinLimit(const Lines& before, const Lines& after) {
    dtl::Diff<std::string_view> measure(before, after);
    measure.onOnlyEditDistance();
    measure.compose();
    const auto shorter = std::min(before.size(), after.size());
    const auto delta = static_cast<unsigned long long>(before.size() + after.size() - 2 * shorter);
    const auto p = (static_cast<unsigned long long>(measure.getEditDistance()) - delta) / 2;
    return (p + 1) * (delta + 1) + p * (p + 1) < dtl::MAX_CORDINATES_SIZE;
}

} // namespace

LineChanges changedLines(const Lines& before, const Lines& after) {
    LineChanges marks{std::vector<bool>(before.size(), true),
                      std::vector<bool>(after.size(), true)};
    if (!withinLimit(before, after)) return marks;
    dtl::Diff<std::string_view> diff(before, after);
    diff.compose();
    for (const auto& [line, where] : diff.getSes().getSequence()) {
        if (where.type != dtl::SES_COMMON) continue;
        marks.removed[static_cast<std::size_t>(where.beforeIdx - 1)] = false;
        marks.added[static_cast<std::size_t>(where.afterIdx - 1)] = false;
    }
    return marks;
}

} // namespace qe::cli
