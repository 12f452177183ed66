#include "startup.h"

#include "fields/version.h"
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

// Whether the arguments hold one of the options QGuiApplication and QApplication
// take for themselves; those are known only once the application exists.
bool holdsQtOption(const QStringList& arguments) {
    static const QStringList qtOptions{
        QStringLiteral("platform"),      QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"), QStringLiteral("plugin"),
        QStringLiteral("qmljsdebugger"), QStringLiteral("qwindowgeometry"),
        QStringLiteral("qwindowicon"),   QStringLiteral("qwindowtitle"),
        QStringLiteral("reverse"),       QStringLiteral("session"),
        QStringLiteral("display"),       QStringLiteral("geometry"),
        QStringLiteral("style"),         QStringLiteral("stylesheet"),
        QStringLiteral("widgetcount"),   QStringLiteral("name"),
        QStringLiteral("title"),         QStringLiteral("visual"),
        QStringLiteral("ncols"),         QStringLiteral("cmap"),
        QStringLiteral("nograb"),        QStringLiteral("dograb"),
        QStringLiteral("testability"),   QStringLiteral("dialogs")};
    for (const QString& argument : arguments) {
        if (!argument.startsWith(QLatin1Char('-'))) continue;
        const QString name = argument.mid(argument.startsWith(QStringLiteral("--")) ? 2 : 1);
        if (qtOptions.contains(name.section(QLatin1Char('='), 0, 0))) return true;
    }
    return false;
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
        print(stdout,
              QStringLiteral("%1 %2\n").arg(QLatin1String(kProgramName), QLatin1String(kVersion)));
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
    // Help, version and a wrong command line need no display: answered before the
    // application starts unless the command line holds one of Qt's own options,
    // which only the application takes out.
    const QStringList arguments = argumentsOf(argc, argv);
    const CommandLine early = parseCommandLine(arguments);
    const bool answerEarly =
        early.action == CommandLine::Action::Help || early.action == CommandLine::Action::Version ||
        (early.action == CommandLine::Action::Usage && !holdsQtOption(arguments));
    if (answerEarly) return answerCommandLine(early);

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
