// Figures of the timeline: memory per byte of both directions, the cost of
// a tick as it grows, laying it out anew (switching One Timeline on, or the
// notation) and painting it.
#include "BenchSupport.h"

#include "app/monitor/ReceiveView.h"
#include "monitor/ReceivedTexts.h"
#include "monitor/Timeline.h"
#include "monitor/TimelineText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace {

constexpr qsizetype MB = 1'000'000;

// How the two directions take turns.
struct Run {
    const char* name;
    qsizetype bytesPerTick; // read from each port in one tick
    qsizetype total;        // bytes of both directions together
};
const Run Runs[] = {
    {"12 800 B/s each way (128 bytes a tick from each port)", 128, 50 * MB},
    {"a direction change every byte", 1, 5 * MB},
};

struct Session {
    ReceivedTexts rx;
    ReceivedTexts rx2;
    Timeline timeline{rx.Bytes(), rx2.Bytes()};
    TimelineText text{timeline};
    QByteArray data;
    qsizetype fed = 0;
    qint64 tick = 0;

    // One tick: both ports' bytes, the text grown and shown.
    void Tick(const Run& run, ReceiveView* view)
    {
        const modZEMO::StampMoment moment{int32_t(tick), int32_t(tick * 10 % 86'400'000), tick * 10};
        const QByteArrayView bytes = QByteArrayView(data).sliced(fed % (data.size() - run.bytesPerTick), run.bytesPerTick);
        const LineRules rules{16};
        rx.Append(bytes, rules, moment);
        timeline.Received(Timeline::FirstPort, bytes.size(), moment);
        rx2.Append(bytes, rules, moment);
        timeline.Received(Timeline::SecondPort, bytes.size(), moment);
        fed += 2 * run.bytesPerTick;
        ++tick;
        if (view) {
            text.Grow();
            view->ShowGrown(&text);
        }
    }
};

TimelineRules Rules(int format)
{
    return {format, 16, 0, StampKind::Ticks, {"COM6 \xBB COM7", "COM7 \xBB COM6", {}}};
}

double TickMicroseconds(Session& session, const Run& run, ReceiveView& view)
{
    constexpr int ticks = 2000;
    QElapsedTimer clock;
    clock.start();
    for (int at = 0; at < ticks; ++at)
        session.Tick(run, &view);
    return double(clock.nsecsElapsed()) / 1e3 / ticks;
}

}

int main(int argc, char** argv)
{
    if (argc < 2)
        return bench::RunEachAlone(argv[0], int(std::size(Runs))) ? 0 : 1;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Run& run = Runs[std::clamp(std::atoi(argv[1]), 0, int(std::size(Runs)) - 1)];
    std::printf("%s\n", run.name);
    ReceiveView view;
    view.resize(834, 113);
    view.show();

    const double before = bench::ResidentBytes();
    Session session;
    session.data.resize(4 * MB);
    QRandomGenerator random(42);
    for (char& byte : session.data)
        byte = char(random.bounded(256));
    session.text.Lay(Rules(ReceivedTexts::Hex));
    view.Show(&session.text);
    const double emptyTick = TickMicroseconds(session, run, view);
    while (session.fed < run.total)
        session.Tick(run, nullptr);
    session.text.Grow();
    const double memory = (bench::ResidentBytes() - before - double(session.data.size())) / double(session.fed);
    const double fullTick = TickMicroseconds(session, run, view);
    std::printf("  tick, Hex, empty: %.1f us; at %.0f MB: %.1f us (%.2f times)\n", emptyTick,
                double(session.fed) / MB, fullTick, fullTick / emptyTick);
    std::printf("  resident memory: %.2f bytes per byte of both directions (%.1f MB), "
                "the two ports' texts included\n",
                memory, double(session.fed) / MB);
    const char* const names[] = {"Bin", "Hex", "Chr"};
    for (int format = 0; format < 3; ++format) {
        QElapsedTimer clock;
        clock.start();
        session.text.Lay(Rules(format));
        view.Show(&session.text);
        const double laid = double(clock.nsecsElapsed()) / 1e6;
        std::printf("  laid out anew and shown, %s: %.1f ms; paint %.2f ms\n", names[format], laid,
                    bench::PaintMilliseconds(view, 20));
    }
    return 0;
}
