#include "devsim/SimDevice.h"

#include "devsim/Pty.h"

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

SimDevice::SimDevice(QObject* parent)
    : QObject(parent)
{}

SimDevice::~SimDevice()
{
    BringHome();
}

void SimDevice::Attach(const Pty& pty)
{
    Attach(pty.MasterFd());
}

void SimDevice::Attach(int masterFd)
{
    fd_ = masterFd;
}

void SimDevice::Start()
{
    if (running_ || fd_ < 0)
        return;
    running_ = true;
    readNotifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(readNotifier_, &QSocketNotifier::activated, this, &SimDevice::ReadAvailable);
    writeNotifier_ = new QSocketNotifier(fd_, QSocketNotifier::Write, this);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_, &QSocketNotifier::activated, this, &SimDevice::Drain);
    OnStart();
    Drain();
}

void SimDevice::Stop()
{
    if (!running_)
        return;
    running_ = false;
    delete readNotifier_;
    delete writeNotifier_;
    readNotifier_ = writeNotifier_ = nullptr;
    for (QTimer* timer : findChildren<QTimer*>())
        timer->stop();
}

void SimDevice::BringHome()
{
    QThread* home = QThread::currentThread();
    if (thread() == home) {
        Stop();
        return;
    }
    if (thread() && thread()->isRunning()) {
        QMetaObject::invokeMethod(
            this,
            [this, home] {
                Stop();
                moveToThread(home);
            },
            Qt::BlockingQueuedConnection);
    }
}

void SimDevice::Inject(const QByteArray& bytes)
{
    QMetaObject::invokeMethod(
        this, [this, bytes] { Write(bytes); }, Qt::QueuedConnection);
}

void SimDevice::Write(const QByteArray& bytes)
{
    if (pendingOffset_ > 0 && pendingOffset_ == pending_.size()) {
        pending_.clear();
        pendingOffset_ = 0;
    }
    pending_ += bytes;
    // Logged as queued, so that the log is never behind what a reader of the terminal has seen.
    if (recording_)
        sent_.Append(bytes);
    if (running_)
        Drain();
}

void SimDevice::Drain()
{
    while (pendingOffset_ < pending_.size() && !writeFailed_) {
        const ssize_t n = ::write(fd_, pending_.constData() + pendingOffset_, size_t(pending_.size() - pendingOffset_));
        if (n > 0) {
            pendingOffset_ += n;
        } else if (errno == EAGAIN) {
            break;
        } else if (errno != EINTR) {
            // The bytes stay queued; a device without a terminal has nobody to tell.
            qWarning("devsim: write to the terminal failed: %s", strerror(errno));
            writeFailed_ = true;
        }
    }
    if (pendingOffset_ == pending_.size()) {
        pending_.clear();
        pendingOffset_ = 0;
    } else if (pendingOffset_ > 65536 && pendingOffset_ * 2 > pending_.size()) {
        pending_.remove(0, pendingOffset_);
        pendingOffset_ = 0;
    }
    if (writeNotifier_)
        writeNotifier_->setEnabled(Backlogged() && !writeFailed_);
}

void SimDevice::ReadAvailable()
{
    char buffer[4096];
    while (running_) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n > 0) {
            const QByteArray chunk(buffer, n);
            if (recording_)
                received_.Append(chunk);
            OnBytes(chunk);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            return;
        } else {
            // No slave end is open (EIO): look again later rather than spin.
            readNotifier_->setEnabled(false);
            QTimer::singleShot(RetryAfterHangupMs, this, [this] {
                if (readNotifier_)
                    readNotifier_->setEnabled(true);
            });
            return;
        }
    }
}

void SimDevice::StreamSequence(char tag, int bytesPerSecond)
{
    source_.emplace(tag);
    pacer_.emplace(bytesPerSecond);
    if (!streamTimer_) {
        streamTimer_ = new QTimer(this);
        streamTimer_->setTimerType(Qt::PreciseTimer);
        connect(streamTimer_, &QTimer::timeout, this, &SimDevice::StreamTick);
    }
    streamTimer_->start(StreamTickMs);
}

void SimDevice::StreamTick()
{
    const qsizetype budget = pacer_->Available();
    if (Backlogged() || budget == 0)
        return;
    pacer_->Consume(budget);
    streamed_ += budget;
    Write(source_->Take(budget));
}

}
