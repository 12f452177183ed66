// Errors the core raises carry the exact text the user sees; nothing in the core
// catches them.
#pragma once

#include <stdexcept>

namespace qe {

class ConfigError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace qe
