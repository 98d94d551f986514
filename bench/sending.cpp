// Sending without typing: a file through a pty at two line rates, and a
// send repeated every 100 ms. Prints each file's bytes per second and the
// repeat's mean interval and its sends' distance from their due moments.
// Arguments: [repeat seconds=60] [file bytes at 3000000 bit/s=4194304].
#include "BenchSupport.h"

#include "app/FileDialog.h"
#include "app/frmMain.h"
#include "support/SimulatedPorts.h"
#include "support/window/MessageRecorder.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdio>

namespace {

// Runs the window until the device has read count bytes; the moment each look found bytes, in ms.
QList<qint64> ReadUntil(PtyPair& device, qsizetype count, QByteArray& got)
{
    QList<qint64> moments;
    QElapsedTimer clock;
    clock.start();
    while (got.size() < count) {
        QApplication::processEvents(QEventLoop::AllEvents, 1);
        const QByteArray fresh = device.ReceiveAvailable();
        if (!fresh.isEmpty())
            moments.append(clock.elapsed());
        got += fresh;
    }
    return moments;
}

void SendFile(const QString& rate, qsizetype size)
{
    SimulatedPorts ports;
    PtyPair& device = ports.Add(1);
    MessageRecorder messages;
    frmMain window;
    window.show();
    bench::Choose(window, "SpeedListBox", rate);
    bench::Connect(window, QStringLiteral("Generic"));
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("image.bin")));
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray(size, 'x'));
    file.close();
    modZEMO::SetOpenFileHandler([&file](const QString&, const QStringList&) { return file.fileName(); });
    QElapsedTimer clock;
    clock.start();
    bench::Control<QAction>(window, "FileSendMenu")->trigger();
    QByteArray got;
    ReadUntil(device, size, got);
    std::printf("file of %lld bytes at %s bit/s: %.0f bytes/s (%lld messages)\n", (long long)size, qPrintable(rate),
                double(size) * 1000.0 / double(clock.elapsed()), (long long)messages.Messages().size());
}

void Repeat(int seconds)
{
    SimulatedPorts ports;
    PtyPair& device = ports.Add(1);
    MessageRecorder messages;
    frmMain window;
    window.show();
    bench::Choose(window, "SpeedListBox", QStringLiteral("115200"));
    bench::Connect(window, QStringLiteral("Generic"));
    bench::Control<QLineEdit>(window, "SendData")->setText(QStringLiteral("ping"));
    const int count = seconds * 10;
    QTimer::singleShot(50, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        dialog->findChild<QSpinBox*>(QStringLiteral("RepeatInterval"))->setValue(100);
        dialog->findChild<QSpinBox*>(QStringLiteral("RepeatCount"))->setValue(0);
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    bench::Control<QAction>(window, "PortRepeatMenu")->trigger();
    QByteArray got;
    const QList<qint64> moments = ReadUntil(device, 4 * qsizetype(count), got);
    double sum = 0, worst = 0;
    for (qsizetype i = 0; i < moments.size(); ++i) {
        const double off = std::abs(double(moments[i] - moments[0]) - 100.0 * double(i));
        sum += off;
        worst = std::max(worst, off);
    }
    std::printf("repeat every 100 ms, %d sends: mean interval %.3f ms, from the due moment %.2f ms on average, "
                "%.0f ms at most\n",
                count, double(moments.last() - moments.first()) / double(moments.size() - 1),
                sum / double(moments.size()), worst);
}

}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const qsizetype fast = argc > 2 ? std::atoll(argv[2]) : 4 << 20;
    SendFile(QStringLiteral("115200"), 115200);
    SendFile(QStringLiteral("3000000"), fast);
    Repeat(seconds);
    return 0;
}
