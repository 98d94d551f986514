#pragma once

#include <QString>

namespace devsim {

// One pseudo-terminal: the master end is the device's side, the slave path is
// what a program opens as its serial port. The pty keeps a slave descriptor of
// its own open for its whole life, so the program's open/close cycles never
// hang the device up and the master never reads EIO.
class Pty
{
public:
    Pty();
    ~Pty();
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    bool isOpen() const { return m_master >= 0; }
    QString errorString() const { return m_error; }
    int masterFd() const { return m_master; }
    QString slavePath() const { return m_slavePath; }
    // The pty's own slave descriptor, to see what waits unread at the port.
    int slaveFd() const { return m_slave; }

    // The device goes away: the slave end hangs up.
    void closeMaster();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_error;
};

}
