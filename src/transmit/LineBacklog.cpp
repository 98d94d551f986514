#include "transmit/LineBacklog.h"

#include <algorithm>
#include <cmath>

namespace modZEMO {

double FrameBits(int dataBits, bool parity, int stopBits)
{
    const double stop = stopBits == 1 ? 1.5 : stopBits == 2 ? 2.0 : 1.0;
    return 1 + dataBits + (parity ? 1 : 0) + stop;
}

LineBacklog::LineBacklog(quint32 bitRate, double frameBits)
    // A port without a rate (0) is taken as the slowest common one.
    : bytesPerMs_(std::max<quint32>(bitRate, 300) / frameBits / 1000.0)
{
}

void LineBacklog::Sent(qsizetype bytes, qint64 nowMs)
{
    freeAtMs_ = std::max(freeAtMs_, double(nowMs)) + double(bytes) / bytesPerMs_;
}

qsizetype LineBacklog::Pending(qint64 nowMs) const
{
    // A part byte still counts; the margin keeps rounding from making one of a whole.
    return qsizetype(std::ceil(std::max(0.0, freeAtMs_ - double(nowMs)) * bytesPerMs_ - 1e-6));
}

}
