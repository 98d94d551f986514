#include "monitor/StrippedPairs.h"

#include "monitor/ByteStore.h"

#include <algorithm>

void StrippedPairs::Add(const ByteStore& bytes, qsizetype index, qsizetype lastStamp)
{
    if (bytes.At(index) != '\n')
        return;
    // The kept byte before this LF: everything between them is stripped already.
    qsizetype previous = index - 1;
    const bool joins = !intervals_.empty() && intervals_.back().end == index;
    if (joins)
        previous = intervals_.back().start - 1;
    if (previous < 0 || lastStamp > previous || bytes.At(previous) != '\r')
        return;
    if (joins)
        PopBack();
    qsizetype start = previous;
    qsizetype before = 0;
    if (!intervals_.empty()) {
        const Interval& last = intervals_.back();
        before = last.removedBefore + last.end - last.start;
        // Joined with the interval before unless a stamp stands between them.
        if (last.end == start && lastStamp != start) {
            start = last.start;
            before = last.removedBefore;
            PopBack();
        }
    }
    intervals_.push_back({start, index + 1, before});
}

void StrippedPairs::PopBack()
{
    if (intervals_.size() == untouched_) {
        --untouched_;
        savedTail_.push_back(intervals_.back());
    }
    intervals_.pop_back();
}

void StrippedPairs::Freeze()
{
    frozenCount_ = untouched_ = intervals_.size();
    std::vector<Interval>().swap(savedTail_);
}

StrippedPairs::Interval StrippedPairs::FrozenAt(size_t index) const
{
    return index < untouched_ ? intervals_[index] : savedTail_[frozenCount_ - 1 - index];
}

qsizetype StrippedPairs::RemovedBefore(qsizetype index) const
{
    // The last frozen interval starting before index.
    size_t low = 0;
    size_t high = frozenCount_;
    while (low < high) {
        const size_t mid = low + (high - low) / 2;
        if (FrozenAt(mid).start < index)
            low = mid + 1;
        else
            high = mid;
    }
    if (low == 0)
        return 0;
    const Interval interval = FrozenAt(low - 1);
    return interval.removedBefore + std::min(interval.end, index) - interval.start;
}

std::pair<qsizetype, qsizetype> StrippedPairs::NextRemoved(qsizetype index) const
{
    size_t low = 0;
    size_t high = frozenCount_;
    while (low < high) {
        const size_t mid = low + (high - low) / 2;
        if (FrozenAt(mid).end <= index)
            low = mid + 1;
        else
            high = mid;
    }
    if (low == frozenCount_)
        return {-1, -1};
    const Interval interval = FrozenAt(low);
    return {interval.start, interval.end};
}

void StrippedPairs::Clear()
{
    std::vector<Interval>().swap(intervals_);
    std::vector<Interval>().swap(savedTail_);
    frozenCount_ = untouched_ = 0;
}
