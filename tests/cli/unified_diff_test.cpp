#include "cli/unified_diff.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

std::string gnuDiff(const qe::test::TempDir& dir, std::string_view before, std::string_view after) {
    const std::string command = std::string(QE_GNU_DIFF) + " -u --label before --label after " +
                                dir.write("before", before) + " " + dir.write("after", after);
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    ::pclose(pipe);
    return out;
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

void expectSameAsGnu(const qe::test::TempDir& dir, const std::string& before,
                     const std::string& after) {
    ASSERT_EQ(qe::cli::unifiedDiff(before, after, "before", "after"), gnuDiff(dir, before, after))
        << "before:\n"
        << before << "\nafter:\n"
        << after;
}

TEST(UnifiedDiff, WritesWhatGnuDiffWrites) {
    const qe::test::TempDir dir;
    std::mt19937 rng(20261209);
    for (int round = 0; round < 300; ++round) {
        const int words = 2 + round * 7 % 60;
        const auto lines = round < 100 ? 12u : 80u;
        const Lines before = randomLines(rng, rng() % lines, words);
        const Lines after = round % 3 == 0 ? randomLines(rng, rng() % lines, words)
                                           : edited(rng, before, 1 + round % 6, words);
        expectSameAsGnu(dir, text(rng, before), text(rng, after));
        if (HasFatalFailure()) return;
    }
}

// Long texts: a few changes far apart in 20000 lines, and two texts that share so
// little that the search gives up on the shortest script, as GNU diff does.
TEST(UnifiedDiff, WritesWhatGnuDiffWritesForLongTexts) {
    const qe::test::TempDir dir;
    std::mt19937 rng(7);
    const Lines base = randomLines(rng, 20000, 300);
    expectSameAsGnu(dir, text(rng, base), text(rng, edited(rng, base, 6, 300)));
    expectSameAsGnu(dir, text(rng, randomLines(rng, 9000, 4)),
                    text(rng, randomLines(rng, 9000, 4)));
}

TEST(UnifiedDiff, EqualTextsGiveNothing) {
    EXPECT_EQ(qe::cli::unifiedDiff("a\r\nb", "a\r\nb", "x", "y"), "");
    EXPECT_EQ(qe::cli::unifiedDiff("", "", "x", "y"), "");
}

} // namespace
