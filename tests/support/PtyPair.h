#pragma once

#include "devsim/Pty.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

// A pseudo-terminal for tests, with bounded waits on the end the test plays.
// By default the test plays the device on the master end and the port layer
// opens SlavePath(). For a simulated device attached to MasterFd() the test
// plays the program instead, on the slave descriptor the pair keeps open. That
// descriptor stays open for the pair's life, as a device simulator keeps one,
// so the port's open/close cycles do not hang up the device; the slave starts
// in raw mode.
class PtyPair {
public:
    enum class TestPlays { Device, Program };

    explicit PtyPair(TestPlays plays = TestPlays::Device);

    QString SlavePath() const { return pty_.SlavePath(); }
    int MasterFd() const { return pty_.MasterFd(); }
    int SlaveFd() const { return pty_.SlaveFd(); }

    // The test's end sends: every byte, waiting at most timeoutMs for room.
    bool Send(const QByteArray& data, int timeoutMs = 5000);
    // Waits until count bytes sent by the device wait unread at the port.
    bool WaitUntilQueued(qsizetype count, int timeoutMs = 5000) const;
    // What the other end has written so far: waits until count bytes have
    // come or timeoutMs has passed, and returns what came.
    QByteArray Receive(qsizetype count, int timeoutMs = 5000);
    // The same, until text has come.
    QByteArray ReceiveUntil(const QByteArray& text, int timeoutMs = 5000);
    // What the other end has written, without waiting.
    QByteArray ReceiveAvailable();

    // The device goes away: the slave end hangs up.
    void CloseMaster() { pty_.CloseMaster(); }
    // The slave's bit rate as the master sees it (TCGETS2), 0 on failure.
    uint32_t SlaveBitRate() const;

private:
    template <typename Done>
    QByteArray ReceiveWhile(Done done, int timeoutMs);

    devsim::Pty pty_;
    int fd_; // the end the test plays
};
