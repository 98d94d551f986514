#pragma once

#include <QByteArray>
#include <cstdint>

namespace modZEMO {

// msTimer ticks since program start or since the last connect.
extern int32_t MsCount;

// Eleven digits of MsCount and "ms: ", the stamp at the head of each line.
QByteArray TimeStampText();

}
