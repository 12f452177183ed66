// The two integer conversions of configuration values.
#pragma once

#include <string_view>

namespace qe {

// The value as a signed 32-bit integer (see parseInt); throws ConfigError
// "'<text>' is not a valid integer value" when it does not convert.
int strictInt(std::string_view text);

// The value as a signed 32-bit integer, or fallback when it does not convert.
int lenientInt(std::string_view text, int fallback);

} // namespace qe
