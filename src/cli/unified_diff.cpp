#include "unified_diff.h"

#include "line_changes.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace qe::cli {
namespace {

constexpr std::size_t kContext = 3;

using Lines = std::vector<std::string_view>;

// Each line with its "\n"; the last one may have none. A lone CR ends nothing.
Lines splitLines(std::string_view text) {
    Lines lines;
    for (std::size_t begin = 0; begin < text.size();) {
        const std::size_t end = std::min(text.find('\n', begin), text.size() - 1) + 1;
        lines.push_back(text.substr(begin, end - begin));
        begin = end;
    }
    return lines;
}

// A run of lines removed from before at line0 and added to after at line1.
struct Change {
    std::size_t line0, line1, removed, added;
};

std::vector<Change> changes(const LineChanges& marks) {
    std::vector<Change> out;
    const std::size_t n0 = marks.removed.size(), n1 = marks.added.size();
    for (std::size_t i0 = 0, i1 = 0; i0 < n0 || i1 < n1;) {
        Change c{i0, i1, 0, 0};
        for (; i0 < n0 && marks.removed[i0]; ++i0)
            ++c.removed;
        for (; i1 < n1 && marks.added[i1]; ++i1)
            ++c.added;
        if (c.removed + c.added > 0) {
            out.push_back(c);
        } else {
            ++i0, ++i1; // a line both keep
        }
    }
    return out;
}

// "start,count" with 1-based lines; one line is its number alone, and no line is
// the number of the line before, with ",0".
std::string range(std::size_t first, std::size_t end) {
    if (end == first) return std::to_string(first) + ",0";
    if (end == first + 1) return std::to_string(first + 1);
    return std::to_string(first + 1) + "," + std::to_string(end - first);
}

void putLine(std::string& out, char mark, std::string_view line) {
    out += mark;
    out.append(line);
    if (line.empty() || line.back() != '\n') out += "\n\\ No newline at end of file\n";
}

// One hunk: the changes from first to last (inclusive) with context around them.
void putHunk(std::string& out, const Lines& a, const Lines& b, const Change* first,
             const Change* last) {
    const std::size_t begin0 = first->line0 - std::min(first->line0, kContext);
    const std::size_t begin1 = first->line1 - std::min(first->line1, kContext);
    const std::size_t end0 = std::min(last->line0 + last->removed + kContext, a.size());
    const std::size_t end1 = std::min(last->line1 + last->added + kContext, b.size());
    out += "@@ -" + range(begin0, end0) + " +" + range(begin1, end1) + " @@\n";
    std::size_t i = begin0, j = begin1;
    for (const Change* c = first; c <= last; ++c) {
        for (; i < c->line0; ++i, ++j)
            putLine(out, ' ', a[i]);
        for (std::size_t k = 0; k < c->removed; ++k)
            putLine(out, '-', a[i++]);
        for (std::size_t k = 0; k < c->added; ++k)
            putLine(out, '+', b[j++]);
    }
    for (; i < end0; ++i)
        putLine(out, ' ', a[i]);
}

} // namespace

std::string unifiedDiff(std::string_view before, std::string_view after,
                        std::string_view beforeName, std::string_view afterName) {
    if (before == after) return {};
    const Lines a = splitLines(before), b = splitLines(after);
    const std::vector<Change> all = changes(changedLines(a, b));
    std::string out = "--- " + std::string(beforeName) + "\n+++ " + std::string(afterName) + "\n";
    for (auto first = all.begin(); first != all.end();) {
        // Changes at most twice the context apart share a hunk.
        auto last = first;
        while (last + 1 != all.end() &&
               (last + 1)->line0 - (last->line0 + last->removed) <= 2 * kContext)
            ++last;
        putHunk(out, a, b, &*first, &*last);
        first = last + 1;
    }
    return out;
}

} // namespace qe::cli
