// The files of tests/data, each opened, given a new ID and saved over itself through
// the File commands; the bytes on disk must be those of the file beside it.
#include "form_fixture.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

using namespace qe;
using test::readBytes;

namespace {

namespace fs = std::filesystem;

const std::string kSavedSuffix = ".saved.ini";

// The inputs of tests/data: every *.ini that is no expected save, by name.
std::vector<std::string> goldenInputs() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(QE_TEST_DATA_DIR)) {
        const std::string name = entry.path().filename().string();
        const bool saved =
            name.size() > kSavedSuffix.size() &&
            name.compare(name.size() - kSavedSuffix.size(), std::string::npos, kSavedSuffix) == 0;
        if (!saved && entry.path().extension() == ".ini") names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The bytes as lines a person can read: line endings shown as \r and \n at the end
// of their line, other control bytes, backslashes and bytes above 126 escaped.
std::vector<std::string> visibleLines(std::string_view bytes) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r' || c == '\n') {
            lines.back() += c == '\r' ? "\\r" : "\\n";
            if (c == '\n' || i + 1 == bytes.size() || bytes[i + 1] != '\n') lines.emplace_back();
        } else if (c < 32 || c > 126 || c == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            lines.back() += escaped;
        } else {
            lines.back() += static_cast<char>(c);
        }
    }
    if (lines.back().empty()) lines.pop_back();
    return lines;
}

// A line diff: "  " for a line in both, "- " for one only expected, "+ " for one
// only in the actual bytes.
std::string lineDiff(std::string_view expected, std::string_view actual) {
    const std::vector<std::string> a = visibleLines(expected), b = visibleLines(actual);
    // common[i][j]: the longest common run of lines of a[i..] and b[j..].
    std::vector<std::vector<std::size_t>> common(a.size() + 1,
                                                 std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = a.size(); i-- > 0;)
        for (std::size_t j = b.size(); j-- > 0;)
            common[i][j] = a[i] == b[j] ? common[i + 1][j + 1] + 1
                                        : std::max(common[i + 1][j], common[i][j + 1]);
    std::string diff;
    std::size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        if (i < a.size() && j < b.size() && a[i] == b[j]) {
            diff += "  " + a[i++] + "\n";
            ++j;
        } else if (i < a.size() && (j == b.size() || common[i + 1][j] >= common[i][j + 1])) {
            diff += "- " + a[i++] + "\n";
        } else {
            diff += "+ " + b[j++] + "\n";
        }
    }
    return diff;
}

class GoldenFile : public test::FormTest, public testing::WithParamInterface<std::string> {
protected:
    test::TempDir dir;
};

TEST_P(GoldenFile, SavesTheExpectedBytes) {
    const std::string input = std::string(QE_TEST_DATA_DIR "/") + GetParam();
    const std::string expectedPath = input.substr(0, input.size() - 4) + kSavedSuffix;
    ASSERT_TRUE(fs::exists(expectedPath)) << "no expected save beside " << input;
    const std::string path = dir.write("client.ini", readBytes(input));

    host.openAnswers.push_back(path);
    form.open();
    form.type(f.txtID, "golden@example.org");
    host.saveAnswers.push_back(path);
    form.save();

    EXPECT_TRUE(host.errors.empty()) << host.errors.front();
    const std::string expected = readBytes(expectedPath), actual = readBytes(path);
    EXPECT_TRUE(actual == expected) << "the save of " << GetParam() << " differs from "
                                    << expectedPath << " (- expected, + saved):\n"
                                    << lineDiff(expected, actual);
}

// A test name of letters, digits and "_" only.
std::string testName(const testing::TestParamInfo<std::string>& info) {
    std::string name = info.param.substr(0, info.param.size() - 4);
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(TestData, GoldenFile, testing::ValuesIn(goldenInputs()), testName);

} // namespace
