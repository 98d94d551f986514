#include "devsim/TerminalMode.h"

#include "port/LineSettings.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace devsim {

int OpenRawTerminal(const QString& path, bool nonBlocking, QString* error)
{
    const int flags = O_RDWR | O_NOCTTY | O_CLOEXEC | (nonBlocking ? O_NONBLOCK : 0);
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    if (fd < 0) {
        if (error)
            *error = QStringLiteral("cannot open %1: %2").arg(path, QString::fromLocal8Bit(strerror(errno)));
        return -1;
    }
    if (!serialdevice::MakeRaw(fd)) {
        if (error)
            *error = QStringLiteral("cannot set %1 raw: %2").arg(path, QString::fromLocal8Bit(strerror(errno)));
        ::close(fd);
        return -1;
    }
    return fd;
}

}
