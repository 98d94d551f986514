#include "devsim/RatePacer.h"

#include <algorithm>

namespace devsim {

RatePacer::RatePacer(int bytesPerSecond)
    : rate_(bytesPerSecond)
{
    clock_.start();
}

qsizetype RatePacer::Available()
{
    const double cap = std::max(rate_ / 4.0, 64.0);
    const qint64 now = clock_.nsecsElapsed();
    credit_ = std::min(cap, credit_ + (now - lastNs_) * rate_ / 1e9);
    lastNs_ = now;
    return qsizetype(credit_);
}

}
