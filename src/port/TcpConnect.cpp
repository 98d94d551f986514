#include "port/TcpConnect.h"

#include <cerrno>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace remoteport {

namespace {

// A connection that has been silent this long is probed, every
// KeepaliveIntervalS; data the server has not acknowledged for
// UnacknowledgedMs ends it, as do the unanswered probes.
constexpr int KeepaliveIdleS = 5, KeepaliveIntervalS = 2, KeepaliveProbes = 3;
constexpr unsigned UnacknowledgedMs = 10000;

// The result of a lookup that the caller may stop waiting for; whichever of
// the two lets go last frees it.
struct Lookup {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    int error = 0;
    addrinfo* result = nullptr;

    ~Lookup()
    {
        if (result)
            freeaddrinfo(result);
    }
};

std::shared_ptr<Lookup> StartLookup(const QByteArray& host, uint16_t port)
{
    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host, service = QByteArray::number(port)] {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_NUMERICSERV;
        addrinfo* result = nullptr;
        const int error = getaddrinfo(host.constData(), service.constData(), &hints, &result);
        std::lock_guard lock(lookup->mutex);
        lookup->error = error;
        lookup->result = result;
        lookup->finished = true;
        lookup->done.notify_all();
    }).detach();
    return lookup;
}

void KeepWatch(int fd)
{
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &KeepaliveIdleS, sizeof KeepaliveIdleS);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &KeepaliveIntervalS, sizeof KeepaliveIntervalS);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &KeepaliveProbes, sizeof KeepaliveProbes);
    setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &UnacknowledgedMs, sizeof UnacknowledgedMs);
    // Bytes typed or relayed go out at once rather than waiting to be joined.
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

// 0 when connected, else the errno of the failure (ETIMEDOUT: the deadline passed).
int ConnectOne(const addrinfo& address, serialdevice::Clock::time_point deadline, int& fd)
{
    fd = ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address.ai_protocol);
    if (fd < 0)
        return errno;
    int error = 0;
    if (::connect(fd, address.ai_addr, address.ai_addrlen) != 0) {
        error = errno;
        while (error == EINPROGRESS || error == EINTR) {
            pollfd p{fd, POLLOUT, 0};
            const int waitMs = serialdevice::PollTimeout(deadline);
            const int ready = waitMs == 0 ? 0 : ::poll(&p, 1, waitMs);
            if (ready == 0) {
                error = ETIMEDOUT;
                break;
            }
            if (ready < 0) {
                error = errno;
                continue;
            }
            socklen_t size = sizeof error;
            getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
        }
    }
    if (error != 0) {
        ::close(fd);
        fd = -1;
    }
    return error;
}

QString Why(int error)
{
    switch (error) {
    case ECONNREFUSED: return QStringLiteral("connection refused");
    case ETIMEDOUT: return QStringLiteral("no answer in time");
    case EHOSTUNREACH: return QStringLiteral("host unreachable");
    case ENETUNREACH: return QStringLiteral("network unreachable");
    default: return qt_error_string(error);
    }
}

}

int ConnectTcp(const QByteArray& host, uint16_t port, serialdevice::Clock::time_point deadline, QString& problem)
{
    const auto lookup = StartLookup(host, port);
    std::unique_lock lock(lookup->mutex);
    if (!lookup->done.wait_until(lock, deadline, [&] { return lookup->finished; })) {
        problem = QStringLiteral("the name %1 was not found in time").arg(QString::fromLatin1(host));
        return -1;
    }
    if (lookup->error != 0) {
        problem = QStringLiteral("unknown host %1 (%2)")
                      .arg(QString::fromLatin1(host), QString::fromLocal8Bit(gai_strerror(lookup->error)));
        return -1;
    }
    int error = 0;
    for (const addrinfo* a = lookup->result; a; a = a->ai_next) {
        int fd = -1;
        error = ConnectOne(*a, deadline, fd);
        if (error == 0) {
            KeepWatch(fd);
            return fd;
        }
        if (error == ETIMEDOUT)
            break;
    }
    problem = Why(error);
    return -1;
}

}
