#include "app/CloseOnSignals.h"
#include "app/frmMain.h"
#include "port/ComNames.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wendale"));
    // Said once: the port lists then hold the automatically numbered devices,
    // which may be other ports than the user meant.
    if (const QByteArray problem = comnames::PortsDirectoryProblem(); !problem.isEmpty())
        std::fprintf(stderr, "wendale: %s\n", problem.constData());
    frmMain window;
    CloseOnSignals closeOnSignals(window);
    window.show();
    return QApplication::exec();
}
