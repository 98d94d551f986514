#include "support/PtyPair.h"

// Kernel terminal headers only (termios2 for the exact bit rate); glibc's
// <termios.h> would clash with them.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <QDeadlineTimer>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace {

bool waitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    pollfd p{fd, events, 0};
    const int r = ::poll(&p, 1, int(deadline.remainingTime()));
    return r > 0 && (p.revents & events);
}

}

bool PtyPair::send(const QByteArray& data, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    qsizetype done = 0;
    while (masterFd() >= 0 && done < data.size()) {
        const ssize_t n = ::write(masterFd(), data.constData() + done, size_t(data.size() - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        else if (!waitFor(masterFd(), POLLOUT, deadline) && deadline.hasExpired())
            return false;
    }
    return masterFd() >= 0;
}

bool PtyPair::waitUntilQueued(qsizetype count, int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        int queued = 0;
        if (pty_.slaveFd() < 0 || ioctl(pty_.slaveFd(), FIONREAD, &queued) != 0)
            return false;
        if (queued >= count)
            return true;
        if (deadline.hasExpired())
            return false;
        ::usleep(1000);
    }
}

QByteArray PtyPair::receive(qsizetype count, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QByteArray got;
    while (masterFd() >= 0 && got.size() < count) {
        got += receiveAvailable();
        if (got.size() < count && !waitFor(masterFd(), POLLIN, deadline) && deadline.hasExpired())
            break;
    }
    return got;
}

QByteArray PtyPair::receiveAvailable()
{
    QByteArray got;
    char buffer[4096];
    ssize_t n;
    while (masterFd() >= 0 && (n = ::read(masterFd(), buffer, sizeof buffer)) > 0)
        got.append(buffer, n);
    return got;
}

uint32_t PtyPair::slaveBitRate() const
{
    termios2 tio{};
    return masterFd() >= 0 && ioctl(masterFd(), TCGETS2, &tio) == 0 ? tio.c_ospeed : 0;
}
