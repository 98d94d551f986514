#pragma once

#include <QFile>
#include <QString>

namespace devsim {

// Opens a terminal device for reading and writing (non-blocking when asked),
// without making it the controlling terminal, and sets it raw the way the
// program sets its ports. Returns -1 on
// failure with the reason in error.
int OpenRawTerminal(const QString& path, bool nonBlocking, QString* error = nullptr);

}
