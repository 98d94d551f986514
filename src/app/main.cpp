#include "app/CloseOnSignals.h"
#include "app/CommandLine.h"
#include "app/frmMain.h"
#include "port/ComNames.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    // Help is printed before the application object, which needs a display.
    QStringList arguments;
    for (int at = 0; at < argc; ++at)
        arguments << QString::fromLocal8Bit(argv[at]);
    if (ReadCommandLine(arguments).outcome == CommandLine::Outcome::Help) {
        std::fputs(qPrintable(CommandLineHelp()), stdout);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wendale"));
    // Read again without the options Qt has taken for itself.
    const CommandLine line = ReadCommandLine(QApplication::arguments());
    if (line.outcome == CommandLine::Outcome::Usage) {
        std::fprintf(stderr, "wendale: %s\n%s\n", qPrintable(line.problem), qPrintable(CommandLineUsage()));
        return 2;
    }
    // Said once: the port lists then hold the automatically numbered devices,
    // which may be other ports than the user meant.
    if (const QByteArray problem = comnames::PortsDirectoryProblem(); !problem.isEmpty())
        std::fprintf(stderr, "wendale: %s\n", problem.constData());
    frmMain window;
    CloseOnSignals closeOnSignals(window);
    window.show();
    if (!line.logFile.isEmpty())
        window.StartLog(line.logFile);
    // A signal during a box shown at start has closed the window already.
    return window.isVisible() ? QApplication::exec() : 0;
}
