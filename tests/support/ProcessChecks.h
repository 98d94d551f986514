#pragma once

#include <QString>
#include <sys/types.h>

// Who holds a port, and what the test's own process holds.

// True when the port can be opened again: nothing of this process holds it.
bool PortIsFree(const QString& comName);
qsizetype OpenDescriptors();
// Another program holding the port: a child process that opens it and waits
// until Release; -1 when it could not open the port.
pid_t HoldInAnotherProcess(const QString& comName);
void Release(pid_t child);
