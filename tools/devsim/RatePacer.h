#pragma once

#include <QElapsedTimer>

namespace devsim {

// Hands out a byte budget that grows at a fixed rate. The budget is capped
// at a quarter second's worth, so a sender held back by a slow reader resumes
// at the rate instead of bursting to catch up.
class RatePacer {
public:
    explicit RatePacer(int bytesPerSecond);
    qsizetype Available();
    void Consume(qsizetype bytes) { credit_ -= bytes; }

private:
    int rate_;
    double credit_ = 0;
    qint64 lastNs_ = 0;
    QElapsedTimer clock_;
};

}
