#pragma once

#include <QString>

namespace devsim {

// One pseudo-terminal: the master end is the device's side, the slave path is
// what a program opens as its serial port. The pty keeps a slave descriptor of
// its own open for its whole life, so the program's open/close cycles never
// hang the device up and the master never reads EIO.
class Pty {
public:
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool IsOpen() const { return master_ >= 0; }
    QString ErrorString() const { return error_; }
    int MasterFd() const { return master_; }
    QString SlavePath() const { return slavePath_; }
    // The pty's own slave descriptor, to see what waits unread at the port.
    int SlaveFd() const { return slave_; }

    // The device goes away: the slave end hangs up.
    void CloseMaster();

private:
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
    QString error_;
};

}
