#include "RatePacer.h"

#include <algorithm>

namespace devsim {

RatePacer::RatePacer(int bytesPerSecond) : m_rate(bytesPerSecond)
{
    m_clock.start();
}

qsizetype RatePacer::available()
{
    const double cap = std::max(m_rate / 4.0, 64.0);
    const qint64 now = m_clock.nsecsElapsed();
    m_credit = std::min(cap, m_credit + (now - m_lastNs) * m_rate / 1e9);
    m_lastNs = now;
    return qsizetype(m_credit);
}

}
