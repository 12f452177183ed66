// quenbyconf: reads and sets the client's configuration file by the editor's rules.
#include "command_line.h"

#include "ui/tui/edit_command.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // edit [FILE]: the editor in the terminal; command_line refuses other shapes.
    if (!args.empty() && args[0] == "edit" &&
        (args.size() == 1 || (args.size() == 2 && (args[1].size() < 2 || args[1][0] != '-'))))
        return qe::tui::edit(args.size() == 2 ? args[1] : "", std::cerr);
    return qe::cli::run(args, std::cin, std::cout, std::cerr);
}
