#include "monitor/ReceivePoll.h"

#include "port/ModZemoPorts.h"

namespace monitor {

namespace {

// Bounds one tick, however fast the line.
constexpr int MaxReadsPerTick = 64;

QByteArray ReadArrived(win32::HANDLE from)
{
    QByteArray data;
    for (int read = 0; read < MaxReadsPerTick; ++read) {
        const QByteArray piece = modZEMO::ReadPort(from);
        data += piece;
        if (piece.size() < modZEMO::PortChunk)
            break;
    }
    return data;
}

void Relay(const QByteArray& data, win32::HANDLE to)
{
    if (!data.isEmpty())
        modZEMO::WritePort(to, data);
}

}

Polled PollPorts(win32::HANDLE first, win32::HANDLE second, bool twoPortMode)
{
    Polled polled;
    polled.first = ReadArrived(first);
    if (twoPortMode) {
        Relay(polled.first, second);
        polled.second = ReadArrived(second);
        Relay(polled.second, first);
    }
    return polled;
}

}
