#include "command_line.h"

#include <ostream>

namespace qe::cli {

int run(const std::vector<std::string>&, std::istream&, std::ostream&, std::ostream& err) {
    err << "quenbyconf: not built yet\n";
    return kUsage;
}

} // namespace qe::cli
