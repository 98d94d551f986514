#include "monitor/Timeline.h"

#include <algorithm>

Timeline::Timeline(const ByteStore& first, const ByteStore& second)
    : first_(first)
    , second_(second)
{
}

const ByteStore& Timeline::Bytes(Source source) const
{
    return source == FirstPort ? first_ : source == SecondPort ? second_ : sent_;
}

QByteArray Timeline::ChangeText(const Entry& entry)
{
    static const char* const names[] = {"CTS", "DSR", "RI", "DCD", "DTR", "RTS", "device", "second device"};
    const Line line = LineOf(entry);
    const bool device = line == Line::FirstDevice || line == Line::SecondDevice;
    return QByteArray(names[int(line)]) + (LineOn(entry) ? (device ? " back" : " on") : (device ? " gone" : " off"));
}

void Timeline::Received(Source port, qsizetype count, const modZEMO::StampMoment& moment)
{
    Add(port, count, moment);
}

void Timeline::Sent(QByteArrayView data, const modZEMO::StampMoment& moment)
{
    sent_.Append(data);
    Add(SentData, data.size(), moment);
}

void Timeline::LineChanged(Line line, bool on, const modZEMO::StampMoment& moment)
{
    entries_.push_back({qsizetype(line) * 2 + (on ? 1 : 0), 0, LineChange, moment});
}

void Timeline::Add(Source source, qsizetype count, const modZEMO::StampMoment& moment)
{
    qsizetype& recorded = recorded_[source];
    while (count > 0) {
        const qsizetype length = std::min(count, LongestEntry);
        entries_.push_back({recorded, int32_t(length), source, moment});
        recorded += length;
        count -= length;
    }
}

void Timeline::Clear()
{
    sent_.Clear();
    std::fill(std::begin(recorded_), std::end(recorded_), 0);
    std::deque<Entry>().swap(entries_);
}
