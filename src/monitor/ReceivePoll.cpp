#include "monitor/ReceivePoll.h"

#include "port/ModZemoPorts.h"

#include <algorithm>

namespace monitor {

namespace {

// Bounds one tick, however fast the line: 102 400 bytes, ten times what a
// 12 Mbit/s line delivers in a tick, so a late tick still catches up. The
// reads are large, so a fast line costs few calls.
constexpr qsizetype MostPerTick = 102'400;
constexpr int ReadSize = 4096;

QByteArray ReadArrived(win32::HANDLE from, bool& gone)
{
    QByteArray data;
    while (data.size() < MostPerTick) {
        const int most = int(std::min<qsizetype>(ReadSize, MostPerTick - data.size()));
        const std::optional<QByteArray> piece = modZEMO::TryReadPort(from, most);
        if (!piece) {
            // A handle that is not open (a failed connect polls too) has no device to lose.
            gone = modZEMO::PortIsOpen(from);
            break;
        }
        data += *piece;
        if (piece->size() < most)
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
