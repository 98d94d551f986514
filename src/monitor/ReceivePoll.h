#pragma once

#include "port/Kernel32.h"

#include <QByteArray>

// The reading and relaying of one receive tick, over port handles.
namespace monitor {

struct Polled {
    QByteArray first;  // what the primary port delivered
    QByteArray second; // what the second port delivered (two-port operation only)
    // An open port whose read failed: its device has gone (hang-up, adapter
    // unplugged), which is not the same as nothing having arrived.
    bool firstGone = false;
    bool secondGone = false;
};

// Reads each port until it has nothing more (at most 102 400 bytes a tick),
// so a fast line cannot fill the driver's queue between ticks. In two-port
// operation what one port delivered goes out of the other at once, in one
// write, before the other is read; a failed relay is reported once and the
// data is still returned. Nothing is relayed to a port whose device is known
// to have gone (secondGone, firstGone as given).
Polled PollPorts(win32::HANDLE first, win32::HANDLE second, bool twoPortMode, bool firstGone = false,
                 bool secondGone = false);

}
