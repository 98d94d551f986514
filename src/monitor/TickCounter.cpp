#include "monitor/TickCounter.h"

namespace modZEMO {

int32_t MsCount = 0;

QByteArray TimeStampText()
{
    return QByteArray::number(MsCount).rightJustified(11, '0') + "ms: ";
}

}
