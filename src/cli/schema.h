// What `quenbyconf schema` prints: every owned key as the key and control tables
// declare it.
#pragma once

#include <string>

namespace qe::cli {

// One JSON document: {"keys": [{"key": "networking.nettimeout", ...}, ...]}.
std::string schemaJson();

} // namespace qe::cli
