#pragma once

#include <QFile>
#include <QList>
#include <ctime>
#include <unistd.h>

// Figures the benchmarks print about the process they run in.
namespace bench {

inline double ResidentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE));
}

// CPU time of the calling thread: the window's thread, not the simulated devices'.
inline double ThreadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

}
