#include "support/ProcessChecks.h"

#include "port/ModZemoPorts.h"

#include <QDir>

bool PortIsFree(const QString& comName)
{
    const win32::HANDLE h = modZEMO::OpenPort(comName);
    if (h == win32::INVALID_HANDLE_VALUE)
        return false;
    win32::CloseHandle(h);
    return true;
}

qsizetype OpenDescriptors()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size();
}
