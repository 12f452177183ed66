// Errors the core raises carry the exact text the user sees; nothing in the core
// catches them.
#pragma once

#include <stdexcept>
#include <string>

namespace qe {

class ConfigError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A write that failed. The message is "Unable to write to <path>" as for every
// write; detail() adds the system's reason ("No space left on device") and, after
// a failed write in place, whether the file's old content was put back. Lines are
// separated by "\n"; empty when nothing is known.
class SaveError : public ConfigError {
public:
    SaveError(const std::string& path, std::string detail)
        : ConfigError("Unable to write to " + path), detail_(std::move(detail)) {}
    const std::string& detail() const noexcept { return detail_; }

private:
    std::string detail_;
};

} // namespace qe
