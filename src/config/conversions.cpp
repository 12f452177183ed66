#include "conversions.h"

#include "error.h"
#include "fields/text.h"

#include <string>

namespace qe {

int strictInt(std::string_view text) {
    if (auto value = parseInt(text)) return *value;
    throw ConfigError("'" + std::string(text) + "' is not a valid integer value");
}

int lenientInt(std::string_view text, int fallback) {
    return parseInt(text).value_or(fallback);
}

} // namespace qe
