// The unified diff of two texts, as `diff -u` writes it.
#pragma once

#include <string>
#include <string_view>

namespace qe::cli {

// "--- beforeName", "+++ afterName", then hunks with three lines of context; lines
// keep their own endings (a CR before LF stays), and a last line without one is
// followed by "\ No newline at end of file". Empty when the texts are equal.
std::string unifiedDiff(std::string_view before, std::string_view after,
                        std::string_view beforeName, std::string_view afterName);

} // namespace qe::cli
