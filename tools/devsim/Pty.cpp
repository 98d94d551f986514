#include "devsim/Pty.h"

#include "devsim/TerminalMode.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace devsim {

Pty::Pty()
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128];
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0) {
        error_ = QStringLiteral("cannot create a pseudo-terminal: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        if (master >= 0)
            ::close(master);
        return;
    }
    slavePath_ = QFile::decodeName(name);
    slave_ = OpenRawTerminal(slavePath_, false, &error_);
    if (slave_ < 0 || fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK) != 0) {
        if (error_.isEmpty())
            error_ = QString::fromLocal8Bit(strerror(errno));
        if (slave_ >= 0)
            ::close(slave_);
        slave_ = -1;
        ::close(master);
        return;
    }
    master_ = master;
}

Pty::~Pty()
{
    if (slave_ >= 0)
        ::close(slave_);
    CloseMaster();
}

void Pty::CloseMaster()
{
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

}
