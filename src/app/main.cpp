// The editor's entry: the command line, the application with its title and look,
// the main window, and the event loop until that window closes.
#include "startup.h"

int main(int argc, char* argv[]) {
    return qe::runEditor(argc, argv);
}
