#pragma once

#include <QtGlobal>
#include <utility>
#include <vector>

class ByteStore;
class StampedPositions;

// The received bytes that a re-break strips from the character text: every
// CR LF pair, also a pair that a removal brings together, never across a
// stamp. Such bytes form intervals; they are worked out when a re-break
// happens, for the bytes before it.
class StrippedPairs {
public:
    // Works out the intervals among bytes [0, end), with the stamps of both
    // lists standing between them (a stamp at position p stands before byte p).
    void Compute(const ByteStore& bytes, qsizetype end, const StampedPositions& breaks,
                 const StampedPositions& chrStamps);
    // Bytes before index that are stripped.
    qsizetype RemovedBefore(qsizetype index) const;
    // The first interval that ends after index: [start, end), or
    // start == end == -1 when there is none.
    std::pair<qsizetype, qsizetype> NextRemoved(qsizetype index) const;
    void Clear();

private:
    struct Interval {
        qsizetype start;
        qsizetype end;
        qsizetype removedBefore; // bytes of the intervals before this one
    };
    void Add(const ByteStore& bytes, qsizetype index, qsizetype lastStamp);

    std::vector<Interval> intervals_;
};
