#pragma once

#include <QFile>
#include <QString>

namespace devsim {

// Puts a terminal into raw 8-bit mode through the TCSETS2 ioctl: glibc's
// tcsetattr reports false errors on pseudo-terminals.
bool SetRawMode(int fd);

// Opens a terminal device for reading and writing (non-blocking when asked),
// without making it the controlling terminal, and sets it raw. Returns -1 on
// failure with the reason in error.
int OpenRawTerminal(const QString& path, bool nonBlocking, QString* error = nullptr);

}
