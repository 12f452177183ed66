#include "cli/unified_diff.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

// before with diff applied by patch; "(patch failed)" when it refuses the diff.
std::string patched(const qe::test::TempDir& dir, std::string_view before, std::string_view diff) {
    const std::string command = std::string(QE_PATCH) + " --quiet --force -o " + dir.file("out") +
                                " " + dir.write("before", before) + " " + dir.write("diff", diff) +
                                " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return "(patch failed)";
    return qe::test::readBytes(dir.file("out"));
}

using Lines = std::vector<std::string>;

// Lines from a small alphabet, so that many repeat and the diff has choices to
// make, a third of them blank; LF, CRLF, a lone CR inside a line, and sometimes no
// newline at the end.
std::string randomLine(std::mt19937& rng, int words) {
    static const char* const kEndings[] = {"\n", "\n", "\n", "\n", "\r\n", "\r\n", "\rx\n"};
    if (rng() % 3 == 0) return "\n";
    return "w" + std::to_string(rng() % unsigned(words)) + kEndings[rng() % 7];
}

Lines randomLines(std::mt19937& rng, std::size_t count, int words) {
    Lines lines;
    while (lines.size() < count)
        lines.push_back(randomLine(rng, words));
    return lines;
}

// A few lines removed, added or replaced.
Lines edited(std::mt19937& rng, Lines lines, int edits, int words) {
    for (int e = 0; e < edits; ++e) {
        const std::size_t at = rng() % (lines.size() + 1);
        const auto what = rng() % 3;
        if (what != 1 && at < lines.size()) lines.erase(lines.begin() + long(at));
        if (what != 0) lines.insert(lines.begin() + long(at), randomLine(rng, words));
    }
    return lines;
}

std::string text(std::mt19937& rng, const Lines& lines) {
    std::string out;
    for (const std::string& line : lines)
        out += line;
    if (!out.empty() && rng() % 4 == 0) out.pop_back(); // the last newline
    return out;
}

void expectPatchGivesAfter(const qe::test::TempDir& dir, const std::string& before,
                           const std::string& after) {
    const std::string diff = qe::cli::unifiedDiff(before, after, "before", "after");
    ASSERT_EQ(patched(dir, before, diff), after) << "before:\n" << before << "\ndiff:\n" << diff;
}

TEST(UnifiedDiff, PatchTurnsBeforeIntoAfter) {
    const qe::test::TempDir dir;
    std::mt19937 rng(20261209);
    for (int round = 0; round < 300; ++round) {
        const int words = 2 + round * 7 % 60;
        const auto lines = round < 100 ? 12u : 80u;
        const Lines before = randomLines(rng, rng() % lines, words);
        const Lines after = round % 3 == 0 ? randomLines(rng, rng() % lines, words)
                                           : edited(rng, before, 1 + round % 6, words);
        expectPatchGivesAfter(dir, text(rng, before), text(rng, after));
        if (HasFatalFailure()) return;
    }
}

// Long texts: a few changes far apart in 20000 lines, and two texts that share little.
TEST(UnifiedDiff, PatchTurnsBeforeIntoAfterForLongTexts) {
    const qe::test::TempDir dir;
    std::mt19937 rng(7);
    const Lines base = randomLines(rng, 20000, 300);
    expectPatchGivesAfter(dir, text(rng, base), text(rng, edited(rng, base, 6, 300)));
    expectPatchGivesAfter(dir, text(rng, randomLines(rng, 9000, 4)),
                          text(rng, randomLines(rng, 9000, 4)));
}

struct Format {
    const char* before;
    const char* after;
    const char* hunks; // the diff after its "--- x" and "+++ y" lines
};

// Line numbers and counts, three lines of context, changes six lines apart in one
// hunk and seven apart in two, endings kept, a missing last newline marked.
const Format kFormats[] = {
    {"a\n", "b\n", "@@ -1 +1 @@\n-a\n+b\n"},
    {"", "a\n", "@@ -0,0 +1 @@\n+a\n"},
    {"a\n", "", "@@ -1 +0,0 @@\n-a\n"},
    {"a", "a\n", "@@ -1 +1 @@\n-a\n\\ No newline at end of file\n+a\n"},
    {"a\r\nb\n", "a\r\nc\n", "@@ -1,2 +1,2 @@\n a\r\n-b\n+c\n"},
    {"1\n2\n3\n4\n5\n6\n7\n8\n9\n", "1\n2\n3\n4\nx\n6\n7\n8\n9\n",
     "@@ -2,7 +2,7 @@\n 2\n 3\n 4\n-5\n+x\n 6\n 7\n 8\n"},
    {"1\n2\n3\n4\n5\n6\n7\n8\n9\n", "x\n2\n3\n4\n5\n6\n7\ny\n9\n",
     "@@ -1,9 +1,9 @@\n-1\n+x\n 2\n 3\n 4\n 5\n 6\n 7\n-8\n+y\n 9\n"},
    {"1\n2\n3\n4\n5\n6\n7\n8\n9\n", "x\n2\n3\n4\n5\n6\n7\n8\ny\n",
     "@@ -1,4 +1,4 @@\n-1\n+x\n 2\n 3\n 4\n@@ -6,4 +6,4 @@\n 6\n 7\n 8\n-9\n+y\n"},
    {"a\r\nb", "a\r\nb", nullptr},
    {"", "", nullptr},
};

TEST(UnifiedDiff, WritesTheHunkFormat) {
    for (const Format& f : kFormats) {
        const std::string hunks = f.hunks ? std::string("--- x\n+++ y\n") + f.hunks : "";
        EXPECT_EQ(qe::cli::unifiedDiff(f.before, f.after, "x", "y"), hunks) << f.before;
    }
}

} // namespace
