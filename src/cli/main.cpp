// quenbyconf: reads and sets the client's configuration file by the editor's rules.
#include "command_line.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return qe::cli::run(args, std::cin, std::cout, std::cerr);
}
