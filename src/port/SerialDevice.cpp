#include "port/SerialDevice.h"

#include "port/Deadline.h"
#include "port/LineSettings.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>
#include <termios.h>
#include <unistd.h>

namespace serialdevice {

namespace {

constexpr long DevptsMagic = 0x1cd1;
constexpr unsigned FirstPtySlaveMajor = 136, LastPtySlaveMajor = 143;

bool HungUp(short revents)
{
    return (revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

}

int OpenExclusive(const char* path)
{
    const int fd = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (!isatty(fd) || flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0
        || !MakeRaw(fd)) {
        const int cause = errno;
        ::close(fd);
        errno = cause;
        return -1;
    }
    // What a pseudo-terminal kept while no program had it open is stale; a
    // real port drops such bytes too.
    tcflush(fd, TCIFLUSH);
    return fd;
}

void CloseExclusive(int fd)
{
    // The exclusive flag stays on the terminal while anyone else holds it
    // open (a simulator keeps its pseudo-terminals open), so clear it first.
    ioctl(fd, TIOCNXCL);
    ::close(fd);
}

bool IsPseudoTerminal(int fd)
{
    struct statfs fs {};
    if (fstatfs(fd, &fs) == 0 && fs.f_type == DevptsMagic)
        return true;
    struct stat st {};
    return fstat(fd, &st) == 0 && IsPtySlave(st.st_rdev);
}

bool IsPtySlave(dev_t device)
{
    return major(device) >= FirstPtySlaveMajor && major(device) <= LastPtySlaveMajor;
}

std::optional<size_t> ReadAvailable(int fd, void* buffer, size_t size)
{
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size);
        if (n > 0)
            return size_t(n);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return size_t(0);
        return std::nullopt; // 0 is end of file: the terminal has hung up
    }
}

bool WaitReadable(int fd, int timeoutMs)
{
    pollfd p{fd, POLLIN, 0};
    const int r = ::poll(&p, 1, timeoutMs);
    if (r < 0)
        return errno == EINTR;
    return r == 0 || (p.revents & POLLIN) || !HungUp(p.revents);
}

WriteResult WriteAll(int fd, const void* data, size_t size, std::optional<int> stallMs,
                     std::optional<int> overallMs, size_t& written)
{
    const auto writeSome = [fd](const char* bytes, size_t count) { return ::write(fd, bytes, count); };
    return WriteAll(fd, writeSome, data, size, stallMs, overallMs, written);
}

WriteResult WriteAll(int fd, const WriteSome& writeSome, const void* data, size_t size,
                     std::optional<int> stallMs, std::optional<int> overallMs, size_t& written)
{
    const auto start = Clock::now();
    auto lastProgress = start;
    const auto* bytes = static_cast<const char*>(data);
    written = 0;
    while (written < size) {
        const ssize_t n = writeSome(bytes + written, size - written);
        if (n > 0) {
            written += size_t(n);
            lastProgress = Clock::now();
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || errno != EAGAIN)
            return WriteResult::Failed;

        const Deadline deadline = Earlier(After(lastProgress, stallMs), After(start, overallMs));
        const int waitMs = PollTimeout(deadline);
        if (waitMs == 0)
            return WriteResult::Stalled;
        pollfd p{fd, POLLOUT, 0};
        const int r = ::poll(&p, 1, waitMs);
        if (r < 0 && errno != EINTR)
            return WriteResult::Failed;
        if (r > 0 && !(p.revents & POLLOUT) && HungUp(p.revents))
            return WriteResult::Failed;
    }
    return WriteResult::Done;
}

bool SetModemLine(int fd, ModemLine line, bool on)
{
    if (line == ModemLine::Break)
        return ioctl(fd, on ? TIOCSBRK : TIOCCBRK) == 0;
    const int bits = line == ModemLine::Dtr ? TIOCM_DTR : TIOCM_RTS;
    return ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

std::optional<LossCounts> ReadLossCounts(int fd)
{
    serial_icounter_struct counts{};
    if (ioctl(fd, TIOCGICOUNT, &counts) != 0)
        return std::nullopt;
    return LossCounts{uint64_t(counts.overrun), uint64_t(counts.buf_overrun)};
}

uint32_t QueuedOutput(int fd)
{
    int queued = 0;
    return ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0 ? uint32_t(queued) : 0;
}

std::optional<InputLines> ReadInputLines(int fd)
{
    int bits = 0;
    if (ioctl(fd, TIOCMGET, &bits) != 0)
        return std::nullopt;
    return InputLines{(bits & TIOCM_CTS) != 0, (bits & TIOCM_DSR) != 0, (bits & TIOCM_RI) != 0,
                      (bits & TIOCM_CD) != 0};
}

}
