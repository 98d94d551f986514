#pragma once

#include <QElapsedTimer>

namespace devsim {

// Hands out a byte budget that grows at a fixed rate. The budget is capped
// at a quarter second's worth, so a sender held back by a slow reader resumes
// at the rate instead of bursting to catch up.
class RatePacer
{
public:
    explicit RatePacer(int bytesPerSecond);
    qsizetype available();
    void consume(qsizetype bytes) { m_credit -= bytes; }

private:
    int m_rate;
    double m_credit = 0;
    qint64 m_lastNs = 0;
    QElapsedTimer m_clock;
};

}
