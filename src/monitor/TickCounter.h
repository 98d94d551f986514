#pragma once

#include <QByteArray>
#include <cstdint>

namespace modZEMO {

// msTimer ticks since program start or since the last connect.
extern int32_t MsCount;

// One msTimer tick. After 2147483647 the count starts again at 0, so the
// stamps keep moving and keep their eleven digits.
void AdvanceMsCount();

// Eleven digits of MsCount and "ms: ", the stamp at the head of each line.
QByteArray TimeStampText();

}
