#pragma once

#include "port/Kernel32.h"

#include <QByteArray>

// The reading and relaying of one receive tick, over port handles.
namespace monitor {

struct Polled {
    QByteArray first;  // what the primary port delivered
    QByteArray second; // what the second port delivered (two-port operation only)
};

// Reads each port until it has nothing more, in reads of at most 100 bytes,
// so a fast line cannot fill the driver's queue between ticks. In two-port
// operation what one port delivered goes out of the other at once, in one
// write, before the other is read; a failed relay is reported once and the
// data is still returned.
Polled PollPorts(win32::HANDLE first, win32::HANDLE second, bool twoPortMode);

}
