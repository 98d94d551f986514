#include "app/CloseOnSignals.h"
#include "app/CommandLine.h"
#include "app/FileDialog.h"
#include "app/frmMain.h"
#include "port/ComNames.h"

#include <QAction>
#include <QApplication>
#include <csignal>
#include <cstdio>

namespace {

// Prints the help or the version when asked; false for any other outcome.
bool PrintAsked(const CommandLine& line)
{
    if (line.outcome == CommandLine::Outcome::Help)
        std::fputs(qPrintable(CommandLineHelp()), stdout);
    else if (line.outcome == CommandLine::Outcome::Version)
        std::printf("%s\n", qPrintable(CommandLineVersion()));
    else
        return false;
    return true;
}

// Starts the text log the way a user does, through File, Log to File.
void StartTextLog(frmMain& window, const QString& path)
{
    const modZEMO::SaveFileHandler dialog
        = modZEMO::SetSaveFileHandler([&path](const QString&, const QStringList& filters, QString* selected) {
              if (selected)
                  *selected = filters.filter(QStringLiteral("*.txt")).value(0);
              return path;
          });
    if (auto* log = window.findChild<QAction*>(QStringLiteral("FileLogMenu")))
        log->trigger();
    modZEMO::SetSaveFileHandler(dialog);
}

}

int main(int argc, char* argv[])
{
    // A log into a pipe whose reader has gone fails its write (EPIPE) and
    // stops with a message, rather than the signal ending the program.
    std::signal(SIGPIPE, SIG_IGN);
    // Help and version are printed before the application object, which needs a display.
    QStringList arguments;
    for (int at = 0; at < argc; ++at)
        arguments << QString::fromLocal8Bit(argv[at]);
    if (PrintAsked(ReadCommandLine(arguments)))
        return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wendale"));
    // Read again without the options Qt has taken for itself.
    const CommandLine line = ReadCommandLine(QApplication::arguments());
    if (PrintAsked(line))
        return 0;
    if (line.outcome == CommandLine::Outcome::Usage) {
        std::fprintf(stderr, "wendale: %s\n%s\n", qPrintable(line.problem), qPrintable(CommandLineUsage()));
        return 2;
    }
    // Said once: the port lists then hold the automatically numbered devices,
    // which may be other ports than the user meant.
    if (const QByteArray problem = comnames::PortsDirectoryProblem(); !problem.isEmpty())
        std::fprintf(stderr, "wendale: %s\n", problem.constData());
    frmMain window(line.defaults ? frmMain::Start::Defaults : frmMain::Start::SavedChoices);
    CloseOnSignals closeOnSignals(window);
    window.show();
    if (!line.textLogFile.isEmpty())
        StartTextLog(window, line.textLogFile);
    if (!line.logFile.isEmpty())
        window.StartLog(line.logFile);
    // A signal during a box shown at start has closed the window already.
    return window.isVisible() ? QApplication::exec() : 0;
}
