#include "transmit/RecallKeys.h"

#include "transmit/SendHistory.h"

#include <Qt>

using modZEMO::SendHistory;
using modZEMO::SendHistoryRing;

RecallKeys::Action RecallKeys::KeyDown(int key)
{
    if (recallKeyHeld_)
        return Action::None;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return Action::Send;
    if (key == Qt::Key_Up)
        recallIndex_ = SendHistoryRing::StepBack(recallIndex_);
    else if (key == Qt::Key_Down)
        recallIndex_ = SendHistoryRing::StepForward(recallIndex_);
    else
        return Action::None;
    recallKeyHeld_ = true;
    return Action::ShowRecalled;
}

bool RecallKeys::KeyUp(int key, bool autoRepeat)
{
    // The release that auto-repeat reports between repeats is not the key coming up.
    if (!recallKeyHeld_ || autoRepeat)
        return false;
    recallKeyHeld_ = false;
    return key == Qt::Key_Up || key == Qt::Key_Down;
}

void RecallKeys::Store(const QString& text)
{
    ResumeAt(SendHistory.Store(historyIndex_, text));
}

void RecallKeys::ResumeAt(int16_t historyIndex)
{
    historyIndex_ = historyIndex;
    recallIndex_ = static_cast<int16_t>(historyIndex_ + 1);
}

QString RecallKeys::Recalled() const
{
    return SendHistory.Recall(recallIndex_);
}
