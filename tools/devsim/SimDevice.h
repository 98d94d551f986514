#pragma once

#include "devsim/ByteLog.h"
#include "devsim/RatePacer.h"
#include "devsim/SequenceStream.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <memory>
#include <optional>

class QSocketNotifier;

namespace devsim {

class Pty;

// A simulated device on the master end of a pseudo-terminal, driven by the
// event loop of the thread it lives in. Output is queued and written as the
// terminal takes it: nothing is dropped and nothing blocks.
//
// Use: construct, configure, attach to a pty, then Start() in the device's
// thread (or hand it to a DeviceHost). Configuration setters of subclasses
// are for before the start. A device running in another thread must be
// brought home (BringHome() or the host's destructor) before it is destroyed:
// a subclass's members are gone before this base class could stop it.
class SimDevice : public QObject {
    Q_OBJECT

public:
    explicit SimDevice(QObject* parent = nullptr);
    ~SimDevice() override;

    // The pty (or descriptor) stays owned by the caller and must outlive the device's run.
    void Attach(const Pty& pty);
    void Attach(int masterFd);

    // Both run in the device's thread.
    void Start();
    void Stop();
    bool IsRunning() const { return running_; }

    // Queues bytes to send; callable from any thread.
    void Inject(const QByteArray& bytes);

    // What the device read, and what it queued for the terminal (written in order,
    // never dropped while the terminal lives); readable from any thread.
    const ByteLog& Received() const { return received_; }
    const ByteLog& Sent() const { return sent_; }
    void SetRecording(bool on) { recording_ = on; }

    // Bytes of the verifiable sequence handed to the terminal so far.
    quint64 StreamedBytes() const { return streamed_; }

    // Stops the device in whatever thread it runs and brings it to the calling thread.
    void BringHome();

protected:
    virtual void OnStart() {}
    virtual void OnBytes(const QByteArray& bytes) = 0;
    void Write(const QByteArray& bytes);
    // The terminal is full and the reader has not caught up.
    bool Backlogged() const { return pendingOffset_ < pending_.size(); }
    // Sends the sequence of SequenceStream at the given rate for as long as the device runs.
    void StreamSequence(char tag, int bytesPerSecond);

private:
    void ReadAvailable();
    void Drain();
    void StreamTick();

    int fd_ = -1;
    bool running_ = false;
    bool writeFailed_ = false;
    QSocketNotifier* readNotifier_ = nullptr;
    QSocketNotifier* writeNotifier_ = nullptr;
    QByteArray pending_;
    qsizetype pendingOffset_ = 0;
    std::atomic<bool> recording_{true};
    ByteLog received_;
    ByteLog sent_;
    std::optional<SequenceSource> source_;
    std::optional<RatePacer> pacer_;
    QTimer* streamTimer_ = nullptr;
    std::atomic<quint64> streamed_{0};
};

}
