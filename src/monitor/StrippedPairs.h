#pragma once

#include <QtGlobal>
#include <vector>

class ByteStore;

// The received bytes that re-breaking strips from the character text: every
// CR LF pair, also a pair that a removal brings together, never across a
// stamp. Such bytes form intervals; the intervals grow as bytes arrive, and a
// re-break freezes the view of them that its text was cut from.
class StrippedPairs {
public:
    // Takes byte index of bytes, just appended; lastStamp is the position of
    // the latest stamp (a stamp at position p stands before byte p).
    void Add(const ByteStore& bytes, qsizetype index, qsizetype lastStamp);
    // Freezes the intervals as they are now, for RemovedBefore.
    void Freeze();
    // Bytes before index that the frozen view strips.
    qsizetype RemovedBefore(qsizetype index) const;
    // The first frozen interval that ends after index: [start, end), or
    // start == end == -1 when there is none.
    std::pair<qsizetype, qsizetype> NextRemoved(qsizetype index) const;
    void Clear();

private:
    struct Interval {
        qsizetype start;
        qsizetype end;
        qsizetype removedBefore; // bytes of the intervals before this one
    };
    Interval FrozenAt(size_t index) const;
    void PopBack();

    std::vector<Interval> intervals_;
    // The frozen view: the first frozenCount_ intervals as they were when
    // frozen. Later joins replace intervals at the back; the replaced frozen
    // ones are kept in savedTail_, last first.
    size_t frozenCount_ = 0;
    size_t untouched_ = 0;
    std::vector<Interval> savedTail_;
};
