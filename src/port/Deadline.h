#pragma once

#include <algorithm>
#include <chrono>
#include <optional>

// Bounded waits on a device: how long poll() may wait for a deadline.
namespace serialdevice {

using Clock = std::chrono::steady_clock;
using Deadline = std::optional<Clock::time_point>;

inline Deadline Earlier(Deadline a, Deadline b)
{
    if (!a || !b)
        return a ? a : b;
    return std::min(*a, *b);
}

inline Deadline After(Clock::time_point from, std::optional<int> ms)
{
    if (!ms)
        return std::nullopt;
    return from + std::chrono::milliseconds(*ms);
}

// -1 (no limit) without a deadline, 0 once it has passed.
inline int PollTimeout(Deadline deadline)
{
    if (!deadline)
        return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
    return int(std::clamp<long long>(left, 0, INT32_MAX));
}

}
