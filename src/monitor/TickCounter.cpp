#include "monitor/TickCounter.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

namespace modZEMO {

namespace {

constexpr qint64 Wrap = qint64(1) << 31;

struct Counter {
    QElapsedTimer clock;
    qint64 ticksAtReset = 0;
    int32_t countAtReset = 0;

    Counter() { clock.start(); }
    qint64 Ticks() const { return clock.elapsed() / 10; }
};

Counter& TheCounter()
{
    static Counter counter;
    return counter;
}

}

int32_t MsCount()
{
    const Counter& counter = TheCounter();
    return int32_t((counter.countAtReset + counter.Ticks() - counter.ticksAtReset) % Wrap);
}

void SetMsCount(int32_t count)
{
    Counter& counter = TheCounter();
    counter.ticksAtReset = counter.Ticks();
    counter.countAtReset = count;
}

void WriteStampText(int32_t count, char* out)
{
    if (count < 0) {
        char text[StampLength + 1];
        std::snprintf(text, sizeof text, "%011dms: ", count);
        std::copy_n(text, StampLength, out);
        return;
    }
    // Digit by digit: a stamp is written for every line drawn, copied or searched.
    auto value = uint32_t(count);
    for (int digit = 10; digit >= 0; --digit, value /= 10)
        out[digit] = char('0' + value % 10);
    std::copy_n("ms: ", 4, out + 11);
}

QByteArray StampText(int32_t count)
{
    QByteArray text(StampLength, Qt::Uninitialized);
    WriteStampText(count, text.data());
    return text;
}

QByteArray TimeStampText()
{
    return StampText(MsCount());
}

}
