#include "monitor/StrippedPairs.h"

#include "monitor/ByteStore.h"
#include "monitor/StampedPositions.h"

#include <algorithm>

namespace {

// Position of the latest stamp at or before position, -1 when none.
qsizetype LatestStamp(const StampedPositions& stamps, qsizetype position)
{
    const qsizetype count = stamps.CountUpTo(position);
    return count > 0 ? stamps.PositionOf(count - 1) : -1;
}

}

void StrippedPairs::Compute(const ByteStore& bytes, qsizetype end, const StampedPositions& breaks,
                            const StampedPositions& chrStamps)
{
    Clear();
    for (qsizetype index = 0; index < end; ++index) {
        if (bytes.At(index) == '\n')
            Add(bytes, index, std::max(LatestStamp(breaks, index), LatestStamp(chrStamps, index)));
    }
}

void StrippedPairs::Add(const ByteStore& bytes, qsizetype index, qsizetype lastStamp)
{
    // The kept byte before this LF: everything between them is stripped already.
    qsizetype previous = index - 1;
    const bool joins = !intervals_.empty() && intervals_.back().end == index;
    if (joins)
        previous = intervals_.back().start - 1;
    if (previous < 0 || lastStamp > previous || bytes.At(previous) != '\r')
        return;
    if (joins)
        intervals_.pop_back();
    qsizetype start = previous;
    qsizetype before = 0;
    if (!intervals_.empty()) {
        const Interval& last = intervals_.back();
        before = last.removedBefore + last.end - last.start;
        // Joined with the interval before unless a stamp stands between them.
        if (last.end == start && lastStamp != start) {
            start = last.start;
            before = last.removedBefore;
            intervals_.pop_back();
        }
    }
    intervals_.push_back({start, index + 1, before});
}

qsizetype StrippedPairs::RemovedBefore(qsizetype index) const
{
    const auto after = std::lower_bound(intervals_.begin(), intervals_.end(), index,
                                        [](const Interval& interval, qsizetype at) { return interval.start < at; });
    if (after == intervals_.begin())
        return 0;
    const Interval& interval = *(after - 1);
    return interval.removedBefore + std::min(interval.end, index) - interval.start;
}

std::pair<qsizetype, qsizetype> StrippedPairs::NextRemoved(qsizetype index) const
{
    const auto next = std::upper_bound(intervals_.begin(), intervals_.end(), index,
                                       [](qsizetype at, const Interval& interval) { return at < interval.end; });
    if (next == intervals_.end())
        return {-1, -1};
    return {next->start, next->end};
}

void StrippedPairs::Clear()
{
    std::vector<Interval>().swap(intervals_);
}
