#include "startup.h"

#include "ui/qt/app_look.h"
#include "ui/qt/frm_main.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

namespace qe {
namespace {

constexpr char kProgramName[] = "quenbyeditor";

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

QStringList argumentsOf(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// The options and the argument the program takes, besides Qt's own.
void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(
        QStringLiteral("Edits the INI configuration file of a distributed-computing client."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Configuration file to open at start."),
                                 QStringLiteral("[FILE]"));
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    describe(parser);
    CommandLine line;
    // Qt's first line names the program by its path, or as <executable_name>
    // before the application exists; the usage names it as installed.
    const QString help = parser.helpText();
    line.usage = QStringLiteral("Usage: %1 [options] [FILE]").arg(QLatin1String(kProgramName)) +
                 help.mid(help.indexOf(QLatin1Char('\n')));
    const bool parsed = parser.parse(arguments);
    const QStringList files = parser.positionalArguments();
    if (!parsed) {
        line.action = CommandLine::Action::Usage;
        line.error = parser.errorText();
    } else if (parser.isSet(QStringLiteral("help"))) {
        line.action = CommandLine::Action::Help;
    } else if (parser.isSet(QStringLiteral("help-all"))) {
        line.action = CommandLine::Action::HelpAll;
    } else if (parser.isSet(QStringLiteral("version"))) {
        line.action = CommandLine::Action::Version;
    } else if (files.size() > 1) {
        line.action = CommandLine::Action::Usage;
        line.error = QStringLiteral("Only one FILE can be opened.");
    } else if (!files.isEmpty()) {
        line.file = files.constFirst();
    }
    return line;
}

int answerCommandLine(const CommandLine& line) {
    switch (line.action) {
    case CommandLine::Action::Run:
        return 0;
    case CommandLine::Action::Help:
        print(stdout, line.usage);
        return 0;
    case CommandLine::Action::HelpAll: {
        // Only the parser's own help lists Qt's options; it exits with 0.
        QCommandLineParser parser;
        describe(parser);
        parser.process(QStringList{QLatin1String(kProgramName), QStringLiteral("--help-all")});
        return 0;
    }
    case CommandLine::Action::Version:
        print(stdout, QStringLiteral("%1 %2\n").arg(QLatin1String(kProgramName),
                                                    QStringLiteral(QE_VERSION)));
        return 0;
    case CommandLine::Action::Usage:
        print(stderr, QStringLiteral("%1: %2\n\n%3")
                          .arg(QLatin1String(kProgramName), line.error, line.usage));
        return 2;
    }
    return 2;
}

void startEditor(TfrmMain& window, const QString& file) {
    window.show();
    if (file.isEmpty()) return;
    const QString path = QFileInfo(file).absoluteFilePath();
    const std::string name =
        withIniExtension(QFile::encodeName(path).toStdString(), QFileInfo::exists(path));
    QTimer::singleShot(0, &window, [&window, name] { window.openFile(name); });
}

int runEditor(int argc, char* argv[]) {
    // Help and version need no display: answered before the application starts
    // when the command line holds none of Qt's own options. Qt's options are
    // known, and listed by --help-all, only once the application exists.
    const CommandLine early = parseCommandLine(argumentsOf(argc, argv));
    if (early.action == CommandLine::Action::Help || early.action == CommandLine::Action::Version)
        return answerCommandLine(early);

    QApplication app(argc, argv);
    // Parsed again without the options Qt took for itself.
    const CommandLine line = parseCommandLine(QCoreApplication::arguments());
    if (line.action != CommandLine::Action::Run) return answerCommandLine(line);
    applyAppLook(app);
    TfrmMain window;
    startEditor(window, line.file);
    return QApplication::exec();
}

} // namespace qe
