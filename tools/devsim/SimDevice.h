#pragma once

#include "ByteLog.h"
#include "RatePacer.h"
#include "SequenceStream.h"

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
// Use: construct, configure, attach to a pty, then start() in the device's
// thread (or hand it to a DeviceHost). Configuration setters of subclasses
// are for before the start. A device running in another thread must be
// brought home (bringHome() or the host's destructor) before it is destroyed:
// a subclass's members are gone before this base class could stop it.
class SimDevice : public QObject
{
    Q_OBJECT
public:
    explicit SimDevice(QObject *parent = nullptr);
    ~SimDevice() override;

    // The pty (or descriptor) stays owned by the caller and must outlive the device's run.
    void attach(const Pty &pty);
    void attach(int masterFd);

    // Both run in the device's thread.
    void start();
    void stop();
    bool isRunning() const { return m_running; }

    // Queues bytes to send; callable from any thread.
    void inject(const QByteArray &bytes);

    // What the device read, and what it queued for the terminal (written in order,
    // never dropped while the terminal lives); readable from any thread.
    const ByteLog &received() const { return m_received; }
    const ByteLog &sent() const { return m_sent; }
    void setRecording(bool on) { m_recording = on; }

    // Bytes of the verifiable sequence handed to the terminal so far.
    quint64 streamedBytes() const { return m_streamed; }

    // Stops the device in whatever thread it runs and brings it to the calling thread.
    void bringHome();

protected:
    virtual void onStart() {}
    virtual void onBytes(const QByteArray &bytes) = 0;
    void write(const QByteArray &bytes);
    // The terminal is full and the reader has not caught up.
    bool backlogged() const { return m_pendingOffset < m_pending.size(); }
    // Sends the sequence of SequenceStream at the given rate for as long as the device runs.
    void streamSequence(char tag, int bytesPerSecond);

private:
    void readAvailable();
    void drain();
    void streamTick();

    int m_fd = -1;
    bool m_running = false;
    bool m_writeFailed = false;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QByteArray m_pending;
    qsizetype m_pendingOffset = 0;
    std::atomic<bool> m_recording{true};
    ByteLog m_received;
    ByteLog m_sent;
    std::optional<SequenceSource> m_source;
    std::optional<RatePacer> m_pacer;
    QTimer *m_streamTimer = nullptr;
    std::atomic<quint64> m_streamed{0};
};

}
