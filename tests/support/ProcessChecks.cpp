#include "support/ProcessChecks.h"

#include "port/ModZemoPorts.h"

#include <QDir>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

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

pid_t HoldInAnotherProcess(const QString& comName)
{
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        const char opened = modZEMO::OpenPort(comName) != win32::INVALID_HANDLE_VALUE ? 1 : 0;
        (void)!write(ready[1], &opened, 1);
        for (;;)
            pause();
    }
    char opened = 0;
    (void)!read(ready[0], &opened, 1);
    close(ready[0]);
    close(ready[1]);
    if (child > 0 && !opened)
        Release(child);
    return opened ? child : -1;
}

void Release(pid_t child)
{
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}
