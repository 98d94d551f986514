#include "monitor/StampedPositions.h"

#include <algorithm>

qsizetype StampedPositions::CountUpTo(qsizetype position) const
{
    const auto after = std::upper_bound(runs_.begin(), runs_.end(), position,
                                        [](qsizetype at, const Run& run) { return at < run.first; });
    if (after == runs_.begin())
        return 0;
    const Run& run = *(after - 1);
    return run.before + std::min(run.count, (position - run.first) / run.period + 1);
}

const StampedPositions::Run& StampedPositions::RunOfIndex(qsizetype index) const
{
    const auto after = std::upper_bound(runs_.begin(), runs_.end(), index,
                                        [](qsizetype at, const Run& run) { return at < run.before; });
    return *(after - 1);
}

qsizetype StampedPositions::PositionOf(qsizetype index) const
{
    const Run& run = RunOfIndex(index);
    return run.first + (index - run.before) * run.period;
}

const modZEMO::StampMoment& StampedPositions::StampOf(qsizetype index) const
{
    const auto after = std::upper_bound(stamps_.begin(), stamps_.end(), index,
                                        [](qsizetype at, const StampRun& run) { return at < run.first; });
    return (after - 1)->value;
}

void StampedPositions::Push(qsizetype position, const modZEMO::StampMoment& stamp)
{
    const qsizetype index = Count();
    if (!runs_.empty()) {
        Run& last = runs_.back();
        if (last.count == 1)
            last.period = position - last.first;
        if (position == last.first + last.count * last.period) {
            ++last.count;
        } else {
            runs_.push_back({position, index, 1, 1});
        }
    } else {
        runs_.push_back({position, 0, 1, 1});
    }
    if (stamps_.empty() || stamps_.back().value != stamp)
        stamps_.push_back({index, stamp});
}

void StampedPositions::Clear()
{
    std::vector<Run>().swap(runs_);
    std::vector<StampRun>().swap(stamps_);
}
