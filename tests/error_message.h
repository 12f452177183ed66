// The one way the tests capture an error: the message of the ConfigError an
// action raises, "" when it raises none.
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
    return "";
}

} // namespace qe::test
