// The message of the ConfigError an action raises, or "<no error>".
#pragma once

#include "config/error.h"

#include <functional>
#include <string>

namespace qe::test {

inline std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ConfigError& e) {
        return e.what();
    }
    return "<no error>";
}

} // namespace qe::test
