#include "transmit/SendHistory.h"

#include "transmit/TrimSpaces.h"

namespace modZEMO {

SendHistoryRing SendHistory;

int16_t SendHistoryRing::Store(int16_t lastIndex, const QString& text)
{
    const int16_t n = (lastIndex >= 1 && lastIndex < Entries) ? static_cast<int16_t>(lastIndex + 1) : int16_t{1};
    entries_[n - 1] = text.left(EntryWidth).leftJustified(EntryWidth, u' ');
    return n;
}

QString SendHistoryRing::Entry(int16_t n) const
{
    if (n < 1 || n > Entries)
        return {};
    return entries_[n - 1];
}

QString SendHistoryRing::Recall(int16_t n) const
{
    return TrimSpaces(Entry(n));
}

int16_t SendHistoryRing::StepBack(int16_t recallIndex)
{
    return recallIndex - 1 < 1 ? Entries : static_cast<int16_t>(recallIndex - 1);
}

int16_t SendHistoryRing::StepForward(int16_t recallIndex)
{
    return recallIndex + 1 > Entries ? int16_t{1} : static_cast<int16_t>(recallIndex + 1);
}

}
