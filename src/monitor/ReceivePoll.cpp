#include "monitor/ReceivePoll.h"

#include "port/ModZemoPorts.h"

namespace monitor {

namespace {

// Bounds one tick, however fast the line: 102 400 bytes, ten times what a
// 12 Mbit/s line delivers in a tick, so a late tick still catches up.
constexpr int MaxReadsPerTick = 1024;

QByteArray ReadArrived(win32::HANDLE from, bool& gone)
{
    QByteArray data;
    for (int read = 0; read < MaxReadsPerTick; ++read) {
        const std::optional<QByteArray> piece = modZEMO::TryReadPort(from);
        if (!piece) {
            // A handle that is not open (a failed connect polls too) has no device to lose.
            gone = modZEMO::PortIsOpen(from);
            break;
        }
        data += *piece;
        if (piece->size() < modZEMO::PortChunk)
            break;
    }
    return data;
}

void Relay(const QByteArray& data, win32::HANDLE to, bool toGone)
{
    if (!data.isEmpty() && !toGone)
        modZEMO::WritePort(to, data);
}

}

Polled PollPorts(win32::HANDLE first, win32::HANDLE second, bool twoPortMode, bool firstGone, bool secondGone)
{
    Polled polled;
    polled.first = ReadArrived(first, polled.firstGone);
    if (twoPortMode) {
        Relay(polled.first, second, secondGone);
        polled.second = ReadArrived(second, polled.secondGone);
        Relay(polled.second, first, firstGone || polled.firstGone);
    }
    return polled;
}

}
