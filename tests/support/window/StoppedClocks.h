#pragma once

#include "monitor/TickCounter.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

// The clocks the stamps read, standing where the test puts them.
struct StoppedClocks {
    qint64 monotonic = 1'000'000;
    QDateTime wall{QDate(2024, 5, 6), QTime(14, 3, 7, 123)};

    StoppedClocks() { modZEMO::SetClocks([this] { return monotonic; }, [this] { return wall; }); }
    ~StoppedClocks() { modZEMO::SetClocks({}, {}); }
    StoppedClocks(const StoppedClocks&) = delete;
    StoppedClocks& operator=(const StoppedClocks&) = delete;
};
