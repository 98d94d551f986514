// Soak: the window connected to the talker streaming numbered lines at
// 115200 bit/s for a long run. Prints, once a minute, what arrived, resident
// memory against the data received, and how late the window's own events
// ran; at the end, lines lost or out of order in the received text.
// With a log file, everything is also logged, and the file is checked
// against what the window received.
// Arguments: [seconds=1800] [bytes per second=11520] [log file].
#include "BenchSupport.h"

#include "app/frmMain.h"
#include "app/monitor/ReceiveView.h"
#include "devsim/TalkerDevice.h"
#include "support/HostedDevice.h"
#include "support/window/MessageRecorder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 1800;
    const int rate = argc > 2 ? std::atoi(argv[2]) : 11520;
    const QString logFile = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    if (!logFile.isEmpty())
        QFile::remove(logFile);
    constexpr double MB = 1024.0 * 1024.0;

    SimulatedPorts ports;
    HostedDevice<devsim::TalkerDevice> talker(QStringLiteral("COM1"));
    talker->SetStreamRate(rate);
    talker->SetRecording(false); // the device shares the process: keep its log out of the memory figures
    talker.Link(ports, 1);
    MessageRecorder messages;
    frmMain window;
    bench::Choose(window, "SpeedListBox", QStringLiteral("115200"));
    // Shown as a hardware debugger would watch a fast line: Hex, 16 bytes a line.
    constexpr int perLine = 16;
    bench::Choose(window, "OutCombo", QStringLiteral("Hex"));
    bench::Choose(window, "RXBitsNrListBox", QString::number(perLine));
    const ReceiveView* box = bench::Control<ReceiveView>(window, "RXOut");
    if (!bench::Connect(window, QStringLiteral("Generic"))) {
        std::printf("could not connect\n");
        return 1;
    }
    if (!logFile.isEmpty() && !window.StartLog(logFile))
        return 1;
    talker.Run();

    const double rssStart = bench::ResidentBytes();
    const double cpuStart = bench::ThreadCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    // A 100 ms heartbeat: how late it fires is how long the window kept its events waiting.
    QElapsedTimer beat;
    beat.start();
    qint64 worstLate = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        worstLate = std::max(worstLate, beat.restart() - 100);
    });
    heartbeat.start(100);
    QTimer report;
    QObject::connect(&report, &QTimer::timeout, [&] {
        const double received = double(bench::ReceivedCountInHex(box->TextLength(), perLine));
        std::printf("%5.0f s: received %.1f MB, resident +%.1f MB (%.2f bytes per received byte), "
                    "window CPU %.1f%%, events late by at most %lld ms\n",
                    wall.elapsed() / 1000.0, received / MB, (bench::ResidentBytes() - rssStart) / MB,
                    received > 0 ? (bench::ResidentBytes() - rssStart) / received : 0.0,
                    100.0 * (bench::ThreadCpuSeconds() - cpuStart) / (wall.elapsed() / 1000.0),
                    (long long)worstLate);
        std::fflush(stdout);
        worstLate = 0;
    });
    report.start(60000);
    QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    QApplication::exec();

    // Measured before the copy that the check below needs.
    const qsizetype count = bench::ReceivedCountInHex(box->TextLength(), perLine);
    const double grown = (bench::ResidentBytes() - rssStart) / double(std::max<qsizetype>(1, count));
    QByteArray received = bench::ReceivedInHex(box->Text());
    devsim::SequenceChecker checker(devsim::TalkerDevice::StreamTag);
    checker.Feed(received);
    if (!logFile.isEmpty()) {
        QFile log(logFile);
        const bool same = log.open(QIODevice::ReadOnly) && log.readAll() == received;
        std::printf("log file %s: %s\n", qPrintable(logFile), same ? "holds exactly the received bytes" : "DIFFERS");
    }
    received.clear();
    const quint64 streamed = talker->StreamedBytes();
    std::printf("after %.0f s: talker sent %llu bytes; the window received %llu bytes, %llu whole lines in order, "
                "%llu faulty lines; %lld messages; resident grew %.2f bytes per received byte\n",
                wall.elapsed() / 1000.0, (unsigned long long)streamed, (unsigned long long)checker.Bytes(),
                (unsigned long long)checker.GoodLines(), (unsigned long long)checker.Faults(),
                (long long)messages.Messages().size(), grown);
    return checker.Faults() == 0 ? 0 : 1;
}
