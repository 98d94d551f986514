#include "monitor/TickCounter.h"

#include <limits>

namespace modZEMO {

int32_t MsCount = 0;

void AdvanceMsCount()
{
    MsCount = MsCount == std::numeric_limits<int32_t>::max() ? 0 : MsCount + 1;
}

QByteArray TimeStampText()
{
    return QByteArray::number(MsCount).rightJustified(11, '0') + "ms: ";
}

}
