#include "support/LineHistory.h"

using win32::testhook::LineEvent;

QList<LineChange> LineChanges(const QString& comName)
{
    QList<LineChange> out;
    for (const LineEvent& e : win32::testhook::LineHistory(comName))
        out << LineChange(e.kind, e.kind != LineEvent::Closed && e.on);
    return out;
}

int ClosedCount(const QString& comName)
{
    return int(LineChanges(comName).count(LineChange(LineEvent::Closed, false)));
}
