#include "support/PtyPair.h"

// Kernel terminal headers only (termios2 for the exact bit rate); glibc's
// <termios.h> would clash with them.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <QDeadlineTimer>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

bool WaitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    pollfd p{fd, events, 0};
    const int r = ::poll(&p, 1, int(deadline.remainingTime()));
    return r > 0 && (p.revents & events);
}

}

PtyPair::PtyPair(TestPlays plays)
    : fd_(plays == TestPlays::Device ? pty_.MasterFd() : pty_.SlaveFd())
{
    if (plays == TestPlays::Program && fd_ >= 0)
        fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
}

bool PtyPair::Send(const QByteArray& data, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    qsizetype done = 0;
    while (MasterFd() >= 0 && done < data.size()) {
        const ssize_t n = ::write(fd_, data.constData() + done, size_t(data.size() - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        else if (!WaitFor(fd_, POLLOUT, deadline) && deadline.hasExpired())
            return false;
    }
    return MasterFd() >= 0;
}

bool PtyPair::WaitUntilQueued(qsizetype count, int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        int queued = 0;
        if (SlaveFd() < 0 || ioctl(SlaveFd(), FIONREAD, &queued) != 0)
            return false;
        if (queued >= count)
            return true;
        if (deadline.hasExpired())
            return false;
        ::usleep(1000);
    }
}

template <typename Done>
QByteArray PtyPair::ReceiveWhile(Done done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QByteArray got;
    while (MasterFd() >= 0 && !done(got)) {
        got += ReceiveAvailable();
        if (!done(got) && !WaitFor(fd_, POLLIN, deadline) && deadline.hasExpired())
            break;
    }
    return got;
}

QByteArray PtyPair::Receive(qsizetype count, int timeoutMs)
{
    return ReceiveWhile([count](const QByteArray& got) { return got.size() >= count; }, timeoutMs);
}

QByteArray PtyPair::ReceiveUntil(const QByteArray& text, int timeoutMs)
{
    return ReceiveWhile([&text](const QByteArray& got) { return got.contains(text); }, timeoutMs);
}

QByteArray PtyPair::ReceiveAvailable()
{
    QByteArray got;
    char buffer[4096];
    ssize_t n;
    while (MasterFd() >= 0 && (n = ::read(fd_, buffer, sizeof buffer)) > 0)
        got.append(buffer, n);
    return got;
}

uint32_t PtyPair::SlaveBitRate() const
{
    termios2 tio{};
    return MasterFd() >= 0 && ioctl(MasterFd(), TCGETS2, &tio) == 0 ? tio.c_ospeed : 0;
}
