#pragma once

#include <QtGlobal>

namespace modZEMO {

// The bits one byte takes on the line: a start bit, the data bits, a parity
// bit when there is parity, and the stop bits (stopBits as the port counts
// them: 0 one, 1 one and a half, 2 two).
double FrameBits(int dataBits, bool parity, int stopBits);

// What the driver still holds of the bytes handed to it, reckoned from the
// line's rate: sends that must not wait on the line use it to hand over no
// more than the line moves, so the driver's queue stays short.
class LineBacklog {
public:
    LineBacklog(quint32 bitRate, double frameBits);

    // Bytes handed over at nowMs.
    void Sent(qsizetype bytes, qint64 nowMs);
    // Bytes not yet on the line at nowMs.
    qsizetype Pending(qint64 nowMs) const;
    // When the line has moved every byte handed over.
    qint64 FreeAt() const { return qint64(freeAtMs_ + 0.999); }
    // Bytes that may be handed over at nowMs keeping at most lead pending.
    qsizetype Room(qint64 nowMs, qsizetype lead) const { return qMax<qsizetype>(0, lead - Pending(nowMs)); }
    // The bytes the line moves in ms milliseconds.
    qsizetype BytesIn(int ms) const { return qsizetype(bytesPerMs_ * ms); }

private:
    double bytesPerMs_;
    double freeAtMs_ = 0;
};

}
