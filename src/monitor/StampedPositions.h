#pragma once

#include "monitor/TickCounter.h"

#include <QtGlobal>
#include <vector>

// Strictly ascending positions in the received bytes (a position is the count
// of bytes before it), each with the moment its stamp tells. Kept as runs:
// line breaks come every n bytes and the stamps of one tick are equal,
// so a long capture needs a few bytes per run rather than per entry.
class StampedPositions {
public:
    qsizetype Count() const { return runs_.empty() ? 0 : runs_.back().before + runs_.back().count; }
    // Entries at positions up to and including position.
    qsizetype CountUpTo(qsizetype position) const;
    bool Has(qsizetype position) const { return CountUpTo(position) != CountUpTo(position - 1); }
    qsizetype PositionOf(qsizetype index) const;
    const modZEMO::StampMoment& StampOf(qsizetype index) const;
    // position must be greater than every position pushed before.
    void Push(qsizetype position, const modZEMO::StampMoment& stamp);
    void Clear();

private:
    struct Run {
        qsizetype first;  // position of the run's first entry
        qsizetype before; // entries in the runs before this one
        qsizetype count;
        qsizetype period; // distance between the run's entries
    };
    struct StampRun {
        qsizetype first; // index of the first entry carrying value
        modZEMO::StampMoment value;
    };
    const Run& RunOfIndex(qsizetype index) const;

    std::vector<Run> runs_;
    std::vector<StampRun> stamps_;
};
