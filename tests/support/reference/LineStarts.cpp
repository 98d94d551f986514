#include "support/reference/LineStarts.h"

#include <algorithm>

qsizetype LineStarts::At(qsizetype index) const
{
    const auto high = std::upper_bound(highSteps_.begin(), highSteps_.end(), index) - highSteps_.begin();
    return (qsizetype(high) << 32) | low_[size_t(index)];
}

void LineStarts::Push(qsizetype offset)
{
    const auto high = size_t(offset >> 32);
    while (highSteps_.size() < high)
        highSteps_.push_back(Count());
    low_.push_back(uint32_t(offset));
}

void LineStarts::Clear()
{
    std::deque<uint32_t>().swap(low_);
    std::vector<qsizetype>().swap(highSteps_);
}
