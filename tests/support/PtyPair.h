#pragma once

#include "Pty.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

// A pseudo-terminal for tests. The master end plays the device; the slave's
// path is what the port layer opens. One slave descriptor is kept open, as
// a device simulator does, so the port's open/close cycles do not hang up
// the device, and the slave starts in raw mode.
class PtyPair {
public:
    bool isOpen() const { return pty_.isOpen(); }
    QString slavePath() const { return pty_.slavePath(); }
    int masterFd() const { return pty_.masterFd(); }
    int slaveFd() const { return pty_.slaveFd(); }

    // The device sends: every byte, waiting at most timeoutMs for room.
    bool send(const QByteArray& data, int timeoutMs = 5000);
    // Waits until count bytes sent by the device wait unread at the port.
    bool waitUntilQueued(qsizetype count, int timeoutMs = 5000) const;
    // What the port has written so far: waits until count bytes have come
    // or timeoutMs has passed, and returns what came.
    QByteArray receive(qsizetype count, int timeoutMs = 5000);
    // What the port has written, without waiting.
    QByteArray receiveAvailable();

    // The device goes away: the slave end hangs up.
    void closeMaster() { pty_.closeMaster(); }
    // The slave's bit rate as the master sees it (TCGETS2), 0 on failure.
    uint32_t slaveBitRate() const;

private:
    devsim::Pty pty_;
};
