// Connect and disconnect each interface type many times over pseudo-terminals
// and print the open descriptors and resident memory before and after.
// Arguments: [cycles=1000]. IRMan and CM12(X10) pause in every connect
// (1.1 s and 0.1 s), so their thousand cycles take about 20 minutes.
#include "BenchSupport.h"

#include "app/frmMain.h"
#include "support/window/MessageRecorder.h"
#include "support/ProcessChecks.h"
#include "support/SimulatedPorts.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 1000;

    SimulatedPorts ports;
    ports.Add(1);
    ports.Add(2);
    MessageRecorder messages;
    frmMain window;
    bool clean = true;
    const QComboBox* types = bench::Control<QComboBox>(window, "ITypeListBox");
    for (int entry = 0; entry < types->count(); ++entry) {
        const QString type = types->itemText(entry);
        const auto cycle = [&] {
            const bool connected = bench::Connect(window, type);
            return connected && !bench::PressInit(window);
        };
        cycle();
        const qsizetype fdsBefore = OpenDescriptors();
        const double rssBefore = bench::ResidentBytes();
        QElapsedTimer clock;
        clock.start();
        int good = 0;
        for (int i = 0; i < cycles; ++i)
            good += cycle() ? 1 : 0;
        const qsizetype fdsAfter = OpenDescriptors();
        const double rssAfter = bench::ResidentBytes();
        std::printf("%-15s %d cycles (%d connected) in %.1f s: descriptors %lld -> %lld, resident %.1f -> %.1f MB\n",
                    qPrintable(type), cycles, good, clock.elapsed() / 1000.0,
                    (long long)fdsBefore, (long long)fdsAfter, rssBefore / 1048576.0, rssAfter / 1048576.0);
        std::fflush(stdout);
        clean = clean && good == cycles && fdsBefore == fdsAfter;
    }
    std::printf("messages shown: %lld\n", (long long)messages.Messages().size());
    return clean && messages.Messages().isEmpty() ? 0 : 1;
}
