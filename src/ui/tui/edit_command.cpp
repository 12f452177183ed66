#include "edit_command.h"

#include "editor.h"
#include "terminal.h"

#include <ostream>

namespace qe::tui {

int edit(const std::string& file, std::ostream& err) {
    try {
        Terminal terminal;
        Editor editor(terminal);
        editor.start(file);
        do
            editor.draw();
        while (editor.handle(terminal.read()));
        return 0;
    } catch (const NoTerminal& e) {
        err << "quenbyconf: edit: " << e.what() << "\n";
        return 2;
    }
}

} // namespace qe::tui
