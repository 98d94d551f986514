#pragma once

#include <QByteArray>
#include <cstdint>

namespace modZEMO {

// Ticks of 10 ms since program start or since the last connect. The count is
// read off a monotonic clock, so nothing wakes up to advance it. After
// 2147483647 it starts again at 0, so the stamps keep moving and keep their
// eleven digits.
int32_t MsCount();
// Makes the count read count from now on (a connect sets 0).
void SetMsCount(int32_t count);

// Eleven digits of count and "ms: ", the stamp at the head of each line.
constexpr int StampLength = 15;
void WriteStampText(int32_t count, char* out);
QByteArray StampText(int32_t count);
// The stamp of MsCount.
QByteArray TimeStampText();

}
