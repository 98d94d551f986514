#include "Pty.h"

#include "TerminalMode.h"

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
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0
        || ptsname_r(master, name, sizeof name) != 0) {
        m_error = QStringLiteral("cannot create a pseudo-terminal: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        if (master >= 0)
            ::close(master);
        return;
    }
    m_slavePath = QFile::decodeName(name);
    m_slave = openRawTerminal(m_slavePath, false, &m_error);
    if (m_slave < 0 || fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK) != 0) {
        if (m_error.isEmpty())
            m_error = QString::fromLocal8Bit(strerror(errno));
        if (m_slave >= 0)
            ::close(m_slave);
        m_slave = -1;
        ::close(master);
        return;
    }
    m_master = master;
}

Pty::~Pty()
{
    if (m_slave >= 0)
        ::close(m_slave);
    closeMaster();
}

void Pty::closeMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

}
