// Figures of the receive monitor: cost of a tick as the texts grow, paint
// time, memory per received byte, re-breaking, switching notation and
// switching the kind of stamp.
#include "BenchSupport.h"

#include "app/monitor/ReceiveView.h"
#include "monitor/ReceivedTexts.h"
#include "monitor/StampWriter.h"
#include "monitor/TickCounter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>
#include <QScrollBar>

#include <algorithm>
#include <iterator>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr qsizetype MB = 1'000'000;
const char* const FormatNames[] = {"Bin", "Hex", "Chr"};
const char* const KindNames[] = {"Ticks", "Time of Day", "Since Connect", "Since Previous Line"};

// What is received and how its lines are broken.
struct Run {
    const char* name;
    LineRules rules;
    int lineLength;           // text lines of this many bytes with CR LF; -1: 10 to 30; 0: random bytes
    qsizetype bytesPerMoment; // bytes read in one poll tick, which share a stamp
};
const Run Runs[] = {
    {"0", {0}, 0, 1000},
    {"16", {16}, 0, 1000},
    {"1", {1}, 0, 1000},
    {"16, a moment per 100 bytes", {16}, 0, 100},
    {"Stamp Every Line, 20-byte lines", {0, false, true}, 20, 100},
    {"Stamp Every Line, lines of 10 to 30 bytes", {0, false, true}, -1, 100},
};

QByteArray Received(qsizetype size, int lineLength)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(42);
    if (lineLength == 0) {
        for (char& byte : bytes)
            byte = char(random.bounded(256));
        return bytes;
    }
    for (qsizetype at = 0; at < size;) {
        const qsizetype length = lineLength > 0 ? lineLength : 10 + random.bounded(21);
        for (qsizetype column = 0; column < length && at < size; ++column, ++at)
            bytes[at] = column == length - 2 ? '\r' : column == length - 1 ? '\n' : char('a' + random.bounded(26));
    }
    return bytes;
}

// The moment of the poll tick that read the byte at done.
modZEMO::StampMoment MomentOf(qsizetype done, const Run& run)
{
    const qint64 tick = done / run.bytesPerMoment;
    return {int32_t(tick), int32_t(tick * 10 % 86'400'000), tick * 10};
}

// Appends in reads of 100 bytes; returns the longest single read in ms, the
// pause a user would see while the texts grow.
double Feed(ReceivedTexts& texts, const QByteArray& data, qsizetype from, qsizetype bytes, const Run& run)
{
    qint64 longest = 0;
    QElapsedTimer clock;
    for (qsizetype done = from; done < from + bytes; done += 100) {
        clock.start();
        texts.Append(QByteArrayView(data).sliced(done % (data.size() - 100), 100), run.rules, MomentOf(done, run));
        longest = std::max(longest, clock.nsecsElapsed());
    }
    return double(longest) / 1e6;
}

// Mean microseconds of a tick of 100 bytes: append and show.
double TickMicroseconds(ReceivedTexts& texts, ReceiveView& view, const QByteArray& data, qsizetype from,
                        const Run& run, int format)
{
    constexpr int ticks = 2000;
    QElapsedTimer clock;
    clock.start();
    for (int tick = 0; tick < ticks; ++tick) {
        texts.Append(QByteArrayView(data).sliced(tick * 100, 100), run.rules, MomentOf(from + tick * 100, run));
        view.ShowGrown(texts.Text(format));
    }
    return double(clock.nsecsElapsed()) / 1000.0 / ticks;
}

void ScrollToMiddle(ReceiveView& view)
{
    for (QScrollBar* bar : {view.verticalScrollBar(), view.horizontalScrollBar()})
        bar->setValue(bar->maximum() / 2);
}

}

int main(int argc, char** argv)
{
    if (argc < 2)
        return bench::RunEachAlone(argv[0], int(std::size(Runs))) ? 0 : 1;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Run& run = Runs[std::clamp(std::atoi(argv[1]), 0, int(std::size(Runs)) - 1)];
    const QByteArray data = Received(4 * MB, run.lineLength);
    ReceiveView view;
    // The box's size in the window: 6255 x 1695 twips.
    view.resize(417, 113);
    view.show();

    {
        const int n = run.rules.n;
        std::printf("n = %s\n", run.name);
        const double before = bench::ResidentBytes();
        ReceivedTexts texts;
        qsizetype received = 0;
        double longest = 0;
        double emptyTick[3] = {};
        for (const qsizetype level : {qsizetype(0), 10 * MB, 50 * MB}) {
            longest = std::max(longest, Feed(texts, data, received, level - received, run));
            received = level;
            for (int format = 0; format < 3; ++format) {
                const double tick = TickMicroseconds(texts, view, data, received, run, format);
                received += 2000 * 100;
                if (level == 0)
                    emptyTick[format] = tick;
                std::printf("  tick of 100 bytes, %3lld MB received, %s: %8.1f us", static_cast<long long>(level / MB),
                            FormatNames[format], tick);
                if (level > 0)
                    std::printf(" (%.2f times the first)", tick / emptyTick[format]);
                std::printf("\n");
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
                const double atEnd = bench::PaintMilliseconds(view, 50);
                ScrollToMiddle(view);
                const double inMiddle = bench::PaintMilliseconds(view, 50);
                std::printf("  paint at 50 MB, %dx%d, %s: end %.3f ms, middle %.3f ms\n", size.width(),
                            size.height(), FormatNames[format], atEnd, inMiddle);
            }
        }
        {
            // Every kind in the large box: the stamps change, the layout does not.
            view.Show(texts.Text(2));
            ScrollToMiddle(view);
            for (const StampKind kind : {StampKind::TimeOfDay, StampKind::SinceConnect, StampKind::SincePreviousLine}) {
                texts.SetStampKind(kind);
                std::printf("  paint at 50 MB, 1900x1000, Chr, %s: %.3f ms\n", KindNames[int(kind)], bench::PaintMilliseconds(view, 50));
            }
            texts.SetStampKind(StampKind::Ticks);
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
            // As the View menu switches: the same text shown again, painted whole.
            QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
            for (const StampKind kind : {StampKind::TimeOfDay, StampKind::SinceConnect, StampKind::SincePreviousLine, StampKind::Ticks}) {
                QElapsedTimer clock;
                clock.start();
                texts.SetStampKind(kind);
                view.ShowGrown(texts.Text(0));
                view.viewport()->render(&image);
                std::printf("  switching stamps to %s at 50 MB (show and paint): %.3f ms\n", KindNames[int(kind)],
                            double(clock.nsecsElapsed()) / 1e6);
            }
        }
        {
            QElapsedTimer clock;
            clock.start();
            const QByteArray whole = texts.Text(1)->Whole();
            std::printf("  the whole Hex text (%.0f MB) produced in %.0f ms\n", double(whole.size()) / MB,
                        double(clock.nsecsElapsed()) / 1e6);
        }
        {
            texts.SetStampKind(StampKind::TimeOfDay);
            QElapsedTimer clock;
            clock.start();
            const QByteArray whole = texts.Text(1)->Whole();
            std::printf("  the same with Time of Day stamps in %.0f ms\n", double(clock.nsecsElapsed()) / 1e6);
            texts.SetStampKind(StampKind::Ticks);
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
