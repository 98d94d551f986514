// Figures of the receive monitor: cost of a tick as the texts grow, paint
// time, memory per received byte, re-breaking and switching notation.
#include "BenchSupport.h"

#include "app/monitor/ReceiveView.h"
#include "monitor/ReceivedTexts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr qsizetype MB = 1'000'000;
const char* const FormatNames[] = {"Bin", "Hex", "Chr"};

QByteArray RandomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(42);
    for (char& byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

// Appends in ticks of 100 bytes; returns the longest single tick in ms, the
// pause a user would see while the texts grow.
double Feed(ReceivedTexts& texts, const QByteArray& data, qsizetype bytes, int n)
{
    qint64 longest = 0;
    QElapsedTimer clock;
    for (qsizetype done = 0; done < bytes; done += 100) {
        clock.start();
        texts.Append(QByteArrayView(data).sliced(done % (data.size() - 100), 100), n, false, int32_t(done / 1000));
        longest = std::max(longest, clock.nsecsElapsed());
    }
    return double(longest) / 1e6;
}

// Mean microseconds of a tick of 100 bytes: append and show.
double TickMicroseconds(ReceivedTexts& texts, ReceiveView& view, const QByteArray& data, int n, int format)
{
    constexpr int ticks = 2000;
    QElapsedTimer clock;
    clock.start();
    for (int tick = 0; tick < ticks; ++tick) {
        texts.Append(QByteArrayView(data).sliced(tick * 100, 100), n, false, tick);
        view.ShowGrown(texts.Text(format));
    }
    return double(clock.nsecsElapsed()) / 1000.0 / ticks;
}

double PaintMilliseconds(ReceiveView& view)
{
    QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    constexpr int paints = 50;
    QElapsedTimer clock;
    clock.start();
    for (int paint = 0; paint < paints; ++paint)
        view.viewport()->render(&image);
    return double(clock.nsecsElapsed()) / 1e6 / paints;
}

void ScrollToMiddle(ReceiveView& view)
{
    for (QScrollBar* bar : {view.verticalScrollBar(), view.horizontalScrollBar()})
        bar->setValue(bar->maximum() / 2);
}

}

int main(int argc, char** argv)
{
    // Each n runs in a process of its own, so that memory one run freed
    // cannot hide what the next one takes.
    if (argc < 2) {
        for (const char* n : {"0", "16", "1"}) {
            std::fflush(stdout);
            if (std::system(qPrintable(QStringLiteral("\"%1\" %2").arg(QString::fromLocal8Bit(argv[0]), QLatin1String(n)))) != 0)
                return 1;
        }
        return 0;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QByteArray data = RandomBytes(4 * MB);
    ReceiveView view;
    // The box's size in the window: 6255 x 1695 twips.
    view.resize(417, 113);
    view.show();

    {
        const int n = std::atoi(argv[1]);
        std::printf("n = %d\n", n);
        const double before = bench::ResidentBytes();
        ReceivedTexts texts;
        qsizetype received = 0;
        double longest = 0;
        for (const qsizetype level : {qsizetype(0), 10 * MB, 50 * MB}) {
            longest = std::max(longest, Feed(texts, data, level - received, n));
            received = level;
            for (int format = 0; format < 3; ++format) {
                const double tick = TickMicroseconds(texts, view, data, n, format);
                received += 2000 * 100;
                std::printf("  tick of 100 bytes, %3lld MB received, %s: %8.1f us\n",
                            static_cast<long long>(level / MB), FormatNames[format], tick);
            }
        }
        std::printf("  longest single tick while growing to 50 MB: %.2f ms\n", longest);
        std::printf("  resident memory: %.2f bytes per received byte (%.0f MB for %.1f MB)\n",
                    (bench::ResidentBytes() - before) / double(received), (bench::ResidentBytes() - before) / MB,
                    double(received) / MB);
        // The box's size, and a box filling a large screen.
        for (const QSize size : {QSize(417, 113), QSize(1900, 1000)}) {
            view.resize(size);
            for (int format = 0; format < 3; ++format) {
                view.Show(texts.Text(format));
                const double atEnd = PaintMilliseconds(view);
                ScrollToMiddle(view);
                const double inMiddle = PaintMilliseconds(view);
                std::printf("  paint at 50 MB, %dx%d, %s: end %.3f ms, middle %.3f ms\n", size.width(),
                            size.height(), FormatNames[format], atEnd, inMiddle);
            }
        }
        view.resize(417, 113);
        {
            QElapsedTimer clock;
            clock.start();
            QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
            for (const int format : {0, 1, 2, 0}) {
                view.Show(texts.Text(format));
                view.viewport()->render(&image);
            }
            std::printf("  switching notation at 50 MB (show and paint): %.3f ms each\n", double(clock.nsecsElapsed()) / 1e6 / 4);
        }
        {
            QElapsedTimer clock;
            clock.start();
            const QByteArray whole = texts.Text(1)->Whole();
            std::printf("  the whole Hex text (%.0f MB) produced in %.0f ms\n", double(whole.size()) / MB,
                        double(clock.nsecsElapsed()) / 1e6);
        }
        {
            QElapsedTimer clock;
            clock.start();
            texts.Reflow(n == 0 ? 16 : 0);
            std::printf("  re-breaking all three texts to %d bytes per line: %.0f ms\n", n == 0 ? 16 : 0,
                        double(clock.nsecsElapsed()) / 1e6);
        }
        view.Show(nullptr);
    }
    return 0;
}
