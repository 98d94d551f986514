// Two-port relay: the window in Transparent operation between the two relay
// devices, each sending a numbered stream at a fixed rate. Prints what each
// side sent and received, lost or reordered lines, and the CPU the window's
// thread used. Arguments: [seconds=60] [bytes per second each way=12800].
#include "BenchSupport.h"

#include "app/frmMain.h"
#include "devsim/RelayEnd.h"
#include "support/HostedDevice.h"
#include "support/window/MessageRecorder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

using devsim::RelayEnd;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const int rate = argc > 2 ? std::atoi(argv[2]) : 12800;

    SimulatedPorts ports;
    HostedDevice<RelayEnd> first(RelayEnd::Role::Query);
    HostedDevice<RelayEnd> second(RelayEnd::Role::Reply);
    first->SetStreamRate(rate);
    second->SetStreamRate(rate);
    // Linked before the window looks for ports, started once both are open.
    first.Link(ports, 1);
    second.Link(ports, 2);
    MessageRecorder messages;
    frmMain window;
    // Connected in Transparent operation is connected to both ports.
    if (!bench::Connect(window, QStringLiteral("Transparent"))) {
        std::printf("could not connect: %s\n", qPrintable(messages.Texts().join("; ")));
        return 1;
    }
    first.Run();
    second.Run();

    const double cpuBefore = bench::ThreadCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    QApplication::exec();
    const double cpu = bench::ThreadCpuSeconds() - cpuBefore;
    const double elapsed = wall.elapsed() / 1000.0;

    const auto a = first->Counts();
    const auto b = second->Counts();
    std::printf("relay for %.1f s at %d bytes/s each way\n", elapsed, rate);
    std::printf("  COM1 -> COM2: sent %llu, received %llu, faulty lines %llu (in flight at the end: %lld bytes)\n",
                (unsigned long long)a.streamSent, (unsigned long long)b.streamReceived,
                (unsigned long long)b.streamFaults, (long long)(a.streamSent - b.streamReceived));
    std::printf("  COM2 -> COM1: sent %llu, received %llu, faulty lines %llu (in flight at the end: %lld bytes)\n",
                (unsigned long long)b.streamSent, (unsigned long long)a.streamReceived,
                (unsigned long long)a.streamFaults, (long long)(b.streamSent - a.streamReceived));
    std::printf("  window thread CPU: %.2f s, %.1f%% of one core\n", cpu, 100.0 * cpu / elapsed);
    std::printf("  messages shown: %lld\n", (long long)messages.Messages().size());
    return a.streamFaults + b.streamFaults == 0 && messages.Messages().isEmpty() ? 0 : 1;
}
