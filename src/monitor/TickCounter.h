#pragma once

#include <QByteArray>
#include <QDateTime>
#include <cstdint>
#include <functional>

namespace modZEMO {

// Ticks of 10 ms since program start or since the last connect. The count is
// read off a monotonic clock, so nothing wakes up to advance it. After
// 2147483647 it starts again at 0, so the stamps keep moving and keep their
// eleven digits.
int32_t MsCount();
// Makes the count read count from now on (a connect sets 0); the time since
// the connect starts again here too.
void SetMsCount(int32_t count);

// The moment a receive tick read its bytes, as each kind of stamp tells it.
struct StampMoment {
    int32_t ticks = 0;        // MsCount
    int32_t timeOfDay = 0;    // the wall clock's local time, ms since midnight
    int64_t sinceConnect = 0; // ms since the last SetMsCount, off the monotonic clock
    bool operator==(const StampMoment&) const = default;
};
StampMoment ReadStampMoment();

// The clocks the count and the stamps read: a monotonic clock in ms and the
// local wall clock. A test sets its own (then SetMsCount, as a connect does);
// an empty function gives back the system's.
void SetClocks(std::function<qint64()> monotonicMs, std::function<QDateTime()> localTime);

// Eleven digits of count and "ms: ", the stamp at the head of each line.
constexpr int StampLength = 15;
void WriteStampText(int32_t count, char* out);
QByteArray StampText(int32_t count);
// The stamp of MsCount.
QByteArray TimeStampText();

}
