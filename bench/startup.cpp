// Start-up: time from the application object to the window shown and
// painted, with the machine's own ports and with the simulator's seven.
#include "app/frmMain.h"
#include "support/SimulatedPorts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

double ShowWindowMs()
{
    QElapsedTimer clock;
    clock.start();
    frmMain window;
    window.show();
    window.grab(); // painted once
    QApplication::processEvents();
    return clock.nsecsElapsed() / 1e6;
}

}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    const double first = ShowWindowMs();
    std::printf("first window, application start included: %.1f ms\n", clock.nsecsElapsed() / 1e6);
    std::printf("  of which the window itself: %.1f ms\n", first);
    std::printf("another window, this machine's ports: %.1f ms\n", ShowWindowMs());
    SimulatedPorts ports;
    for (int n = 1; n <= 7; ++n)
        ports.Add(n);
    std::printf("another window, seven simulated ports: %.1f ms\n", ShowWindowMs());
    return 0;
}
