// The program's start: the command line, the application, the main window and
// the event loop. main() is runEditor(); the pieces are here for the tests.
#pragma once

#include <QString>
#include <QStringList>

namespace qe {

class TfrmMain;

// What the command line asks for: quenbyeditor [options] [FILE].
struct CommandLine {
    enum class Action { Run, Help, HelpAll, Version, Usage };
    Action action = Action::Run;
    QString file;  // Run: the FILE argument; empty when none was given
    QString error; // Usage: what is wrong with the command line
    QString usage; // the help text, also shown after an error
};

// Parses the arguments (the program name first) that Qt left after taking its own
// options (-platform, -style, ...).
CommandLine parseCommandLine(const QStringList& arguments);

// Prints what --help, --version or a wrong command line ask for and returns the
// exit code: 0, or 2 for a wrong command line (usage on stderr).
int answerCommandLine(const CommandLine& line);

// Shows the window and, when file is not empty, opens it once the window is up,
// as the Open command opens a chosen name: reset, then load; an error goes to the
// general error box and the window stays.
void startEditor(TfrmMain& window, const QString& file);

int runEditor(int argc, char* argv[]);

} // namespace qe
