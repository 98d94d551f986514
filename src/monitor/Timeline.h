#pragma once

#include "monitor/ByteStore.h"
#include "monitor/TickCounter.h"

#include <QByteArrayView>
#include <cstdint>
#include <deque>

// The order in which the bytes of a session were read and sent: one entry
// per tick and direction, naming a stretch of that direction's bytes (kept
// once, in the port's own store) and the moment of the tick. A modem line
// change is an entry without bytes.
class Timeline {
public:
    enum Source : uint8_t { FirstPort, SecondPort, SentData, LineChange };

    struct Entry {
        qsizetype from = 0;  // first byte in the source's store; for a line change, its LineEvent
        int32_t count = 0;   // bytes
        Source source = FirstPort;
        modZEMO::StampMoment moment;
    };
    // A line change: the line's bit in the modem status, or DTR/RTS, and whether it went on;
    // or a port's device, gone (off) or back (on).
    enum class Line : uint8_t { CTS, DSR, RI, DCD, DTR, RTS, FirstDevice, SecondDevice };

    Timeline(const ByteStore& first, const ByteStore& second);
    Timeline(const Timeline&) = delete;
    Timeline& operator=(const Timeline&) = delete;

    // count bytes just appended to a port's store, read at moment.
    void Received(Source port, qsizetype count, const modZEMO::StampMoment& moment);
    void Sent(QByteArrayView data, const modZEMO::StampMoment& moment);
    void LineChanged(Line line, bool on, const modZEMO::StampMoment& moment);
    void Clear();

    qsizetype Count() const { return qsizetype(entries_.size()); }
    const Entry& At(qsizetype index) const { return entries_[size_t(index)]; }
    const ByteStore& Bytes(Source source) const;
    static Line LineOf(const Entry& entry) { return Line(entry.from >> 1); }
    static bool LineOn(const Entry& entry) { return (entry.from & 1) != 0; }
    // What a line change's line shows: "CTS on", "device gone", ...
    static QByteArray ChangeText(const Entry& entry);

private:
    // Stretches are cut at this length, so that finding a line in one stays cheap.
    static constexpr qsizetype LongestEntry = 4096;

    void Add(Source source, qsizetype count, const modZEMO::StampMoment& moment);

    const ByteStore& first_;
    const ByteStore& second_;
    ByteStore sent_;
    qsizetype recorded_[3] = {0, 0, 0}; // bytes of each source named so far
    std::deque<Entry> entries_;         // grows without copying what it holds
};
