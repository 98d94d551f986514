#include "SimDevice.h"

#include "Pty.h"

#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace devsim {

namespace {
constexpr int StreamTickMs = 10;
constexpr int RetryAfterHangupMs = 100;
}

SimDevice::SimDevice(QObject *parent) : QObject(parent)
{
}

SimDevice::~SimDevice()
{
    bringHome();
}

void SimDevice::attach(const Pty &pty)
{
    attach(pty.masterFd());
}

void SimDevice::attach(int masterFd)
{
    m_fd = masterFd;
}

void SimDevice::start()
{
    if (m_running || m_fd < 0)
        return;
    m_running = true;
    m_readNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &SimDevice::readAvailable);
    m_writeNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &SimDevice::drain);
    onStart();
    drain();
}

void SimDevice::stop()
{
    if (!m_running)
        return;
    m_running = false;
    delete m_readNotifier;
    delete m_writeNotifier;
    m_readNotifier = m_writeNotifier = nullptr;
    for (QTimer *timer : findChildren<QTimer *>())
        timer->stop();
}

void SimDevice::bringHome()
{
    QThread *home = QThread::currentThread();
    if (thread() == home) {
        stop();
        return;
    }
    if (thread() && thread()->isRunning()) {
        QMetaObject::invokeMethod(
            this, [this, home] {
                stop();
                moveToThread(home);
            },
            Qt::BlockingQueuedConnection);
    }
}

void SimDevice::inject(const QByteArray &bytes)
{
    QMetaObject::invokeMethod(this, [this, bytes] { write(bytes); }, Qt::QueuedConnection);
}

void SimDevice::write(const QByteArray &bytes)
{
    if (m_pendingOffset > 0 && m_pendingOffset == m_pending.size()) {
        m_pending.clear();
        m_pendingOffset = 0;
    }
    m_pending += bytes;
    // Logged as queued, so that the log is never behind what a reader of the terminal has seen.
    if (m_recording)
        m_sent.append(bytes);
    if (m_running)
        drain();
}

void SimDevice::drain()
{
    while (m_pendingOffset < m_pending.size() && !m_writeFailed) {
        const ssize_t n = ::write(m_fd, m_pending.constData() + m_pendingOffset,
                                  size_t(m_pending.size() - m_pendingOffset));
        if (n > 0) {
            m_pendingOffset += n;
        } else if (errno == EAGAIN) {
            break;
        } else if (errno != EINTR) {
            // The bytes stay queued; a device without a terminal has nobody to tell.
            qWarning("devsim: write to the terminal failed: %s", strerror(errno));
            m_writeFailed = true;
        }
    }
    if (m_pendingOffset == m_pending.size()) {
        m_pending.clear();
        m_pendingOffset = 0;
    } else if (m_pendingOffset > 65536 && m_pendingOffset * 2 > m_pending.size()) {
        m_pending.remove(0, m_pendingOffset);
        m_pendingOffset = 0;
    }
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(backlogged() && !m_writeFailed);
}

void SimDevice::readAvailable()
{
    char buffer[4096];
    while (m_running) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n > 0) {
            const QByteArray chunk(buffer, n);
            if (m_recording)
                m_received.append(chunk);
            onBytes(chunk);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            return;
        } else {
            // No slave end is open (EIO): look again later rather than spin.
            m_readNotifier->setEnabled(false);
            QTimer::singleShot(RetryAfterHangupMs, this, [this] {
                if (m_readNotifier)
                    m_readNotifier->setEnabled(true);
            });
            return;
        }
    }
}

void SimDevice::streamSequence(char tag, int bytesPerSecond)
{
    m_source.emplace(tag);
    m_pacer.emplace(bytesPerSecond);
    if (!m_streamTimer) {
        m_streamTimer = new QTimer(this);
        m_streamTimer->setTimerType(Qt::PreciseTimer);
        connect(m_streamTimer, &QTimer::timeout, this, &SimDevice::streamTick);
    }
    m_streamTimer->start(StreamTickMs);
}

void SimDevice::streamTick()
{
    const qsizetype budget = m_pacer->available();
    if (backlogged() || budget == 0)
        return;
    m_pacer->consume(budget);
    m_streamed += budget;
    write(m_source->take(budget));
}

}
