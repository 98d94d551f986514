#include "session/SavedHistory.h"

#include "transmit/RecallKeys.h"
#include "transmit/SendHistory.h"

#include <QUrl>

using modZEMO::SendHistory;
using modZEMO::SendHistoryRing;

namespace session {

QStringList SavedHistory()
{
    QStringList entries;
    for (int16_t n = 1; n <= SendHistoryRing::Entries; ++n)
        entries << QString::fromLatin1(QUrl::toPercentEncoding(SendHistory.Recall(n)));
    return entries;
}

bool RestoreHistory(const QStringList& entries, int historyIndex, RecallKeys& keys)
{
    if (entries.size() != SendHistoryRing::Entries || historyIndex < 0 || historyIndex > SendHistoryRing::Entries)
        return false;
    SendHistoryRing ring;
    for (int16_t n = 1; n <= SendHistoryRing::Entries; ++n) {
        const QString& entry = entries[n - 1];
        // A never-written entry stays empty, as it was.
        if (!entry.isEmpty())
            ring.Store(int16_t(n - 1), QUrl::fromPercentEncoding(entry.toLatin1()));
    }
    SendHistory = ring;
    keys.ResumeAt(int16_t(historyIndex));
    return true;
}

void ForgetHistory(RecallKeys& keys)
{
    SendHistory = SendHistoryRing{};
    keys = RecallKeys{};
}

}
