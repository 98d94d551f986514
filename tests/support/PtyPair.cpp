#include "support/PtyPair.h"

// Kernel terminal headers only (termios2 for the exact bit rate); glibc's
// <termios.h> would clash with them.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <QDeadlineTimer>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

bool waitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    pollfd p{fd, events, 0};
    const int r = ::poll(&p, 1, int(deadline.remainingTime()));
    return r > 0 && (p.revents & events);
}

void makeRaw(int fd)
{
    termios2 tio{};
    if (ioctl(fd, TCGETS2, &tio) != 0)
        return;
    tio.c_iflag = 0;
    tio.c_oflag = 0;
    tio.c_lflag = 0;
    tio.c_cflag = (tio.c_cflag & ~(CSIZE | PARENB)) | CS8 | CREAD | CLOCAL;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ioctl(fd, TCSETS2, &tio);
}

}

PtyPair::PtyPair()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[128] = {};
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0
        || ptsname_r(master_, name, sizeof name) != 0) {
        closeMaster();
        return;
    }
    slavePath_ = QString::fromLocal8Bit(name);
    keeper_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (keeper_ < 0) {
        closeMaster();
        return;
    }
    makeRaw(keeper_);
}

PtyPair::~PtyPair()
{
    closeMaster();
    if (keeper_ >= 0)
        ::close(keeper_);
}

bool PtyPair::send(const QByteArray& data, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    qsizetype done = 0;
    while (master_ >= 0 && done < data.size()) {
        const ssize_t n = ::write(master_, data.constData() + done, size_t(data.size() - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        else if (!waitFor(master_, POLLOUT, deadline) && deadline.hasExpired())
            return false;
    }
    return master_ >= 0;
}

bool PtyPair::waitUntilQueued(qsizetype count, int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        int queued = 0;
        if (keeper_ < 0 || ioctl(keeper_, FIONREAD, &queued) != 0)
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
    while (master_ >= 0 && got.size() < count) {
        got += receiveAvailable();
        if (got.size() < count && !waitFor(master_, POLLIN, deadline) && deadline.hasExpired())
            break;
    }
    return got;
}

QByteArray PtyPair::receiveAvailable()
{
    QByteArray got;
    char buffer[4096];
    ssize_t n;
    while (master_ >= 0 && (n = ::read(master_, buffer, sizeof buffer)) > 0)
        got.append(buffer, n);
    return got;
}

void PtyPair::closeMaster()
{
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

uint32_t PtyPair::slaveBitRate() const
{
    termios2 tio{};
    return master_ >= 0 && ioctl(master_, TCGETS2, &tio) == 0 ? tio.c_ospeed : 0;
}
