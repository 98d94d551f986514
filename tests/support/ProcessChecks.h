#pragma once

#include <QString>

// What the test's own process holds.

// True when the port can be opened again: nothing of this process holds it.
bool PortIsFree(const QString& comName);
qsizetype OpenDescriptors();
