#pragma once

#include <QtGlobal>
#include <cstdint>
#include <deque>
#include <vector>

// Ascending text offsets kept in 32 bits each: the high part is implied by
// the few places where it steps up, so a text past 4 GB still indexes right.
class LineStarts {
public:
    qsizetype Count() const { return qsizetype(low_.size()); }
    qsizetype At(qsizetype index) const;
    void Push(qsizetype offset);
    // Frees the storage, not just the entries.
    void Clear();

private:
    std::deque<uint32_t> low_; // in blocks: growing never copies the whole index
    std::vector<qsizetype> highSteps_; // first entry whose high part exceeds the step's position
};
