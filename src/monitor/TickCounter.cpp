#include "monitor/TickCounter.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace modZEMO {

namespace {

constexpr qint64 Wrap = qint64(1) << 31;

struct Counter {
    QElapsedTimer systemClock;
    std::function<qint64()> monotonicMs;
    std::function<QDateTime()> localTime;
    qint64 msAtReset = 0;
    int32_t countAtReset = 0;

    qint64 offsetMinute = -1; // the minute of UTC the zone's offset was last read in
    qint64 offsetMs = 0;

    Counter() { systemClock.start(); }
    qint64 Now() const { return monotonicMs ? monotonicMs() : systemClock.elapsed(); }
    // The zone's offset is read once a minute, as zones change it on whole
    // minutes only: reading it makes the C library check the zone file, which
    // cost a receive tick more than the rest of its clock work together.
    int32_t TimeOfDay()
    {
        if (localTime)
            return localTime().time().msecsSinceStartOfDay();
        constexpr qint64 MinuteMs = 60'000;
        constexpr qint64 DayMs = 24 * 60 * MinuteMs;
        const qint64 utc = QDateTime::currentMSecsSinceEpoch();
        if (utc / MinuteMs != offsetMinute) {
            offsetMinute = utc / MinuteMs;
            offsetMs = qint64(QDateTime::fromMSecsSinceEpoch(utc).offsetFromUtc()) * 1000;
        }
        return int32_t(((utc + offsetMs) % DayMs + DayMs) % DayMs);
    }
    // Ticks are counted where the clock passes a multiple of 10 ms.
    int32_t CountAt(qint64 ms) const { return int32_t((countAtReset + ms / 10 - msAtReset / 10) % Wrap); }
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
    return counter.CountAt(counter.Now());
}

void SetMsCount(int32_t count)
{
    Counter& counter = TheCounter();
    counter.msAtReset = counter.Now();
    counter.countAtReset = count;
    counter.offsetMinute = -1; // a connect reads the zone afresh
}

StampMoment ReadStampMoment()
{
    Counter& counter = TheCounter();
    const qint64 ms = counter.Now();
    return {counter.CountAt(ms), counter.TimeOfDay(), ms - counter.msAtReset};
}

void SetClocks(std::function<qint64()> monotonicMs, std::function<QDateTime()> localTime)
{
    Counter& counter = TheCounter();
    counter.monotonicMs = std::move(monotonicMs);
    counter.localTime = std::move(localTime);
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
