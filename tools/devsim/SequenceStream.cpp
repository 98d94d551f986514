#include "devsim/SequenceStream.h"

namespace devsim {

QByteArray SequenceLine(char tag, quint64 number)
{
    return tag + QByteArray::number(number % 1000000000).rightJustified(9, '0') + "\r\n";
}

QByteArray SequenceSource::Take(qsizetype count)
{
    QByteArray out;
    out.reserve(count);
    while (out.size() < count) {
        const QByteArray line = SequenceLine(tag_, line_);
        const qsizetype n = std::min(count - out.size(), line.size() - offset_);
        out.append(line.constData() + offset_, n);
        offset_ += n;
        if (offset_ == line.size()) {
            offset_ = 0;
            ++line_;
        }
    }
    produced_ += out.size();
    return out;
}

SequenceChecker::SequenceChecker(char tag, Start start)
    : tag_(tag)
    , synced_(start == Start::FromFirst)
{}

void SequenceChecker::Feed(QByteArrayView bytes)
{
    bytes_ += bytes.size();
    for (char c : bytes) {
        line_ += c;
        if (c == '\n' || line_.size() > SequenceLineSize)
            CheckLine();
    }
}

void SequenceChecker::CheckLine()
{
    const bool wellFormed = line_.size() == SequenceLineSize && line_.startsWith(tag_) && line_.endsWith("\r\n");
    bool numeric = false;
    const quint64 number = wellFormed ? line_.mid(1, 9).toULongLong(&numeric) : 0;
    if (!synced_) {
        // Until a whole line is seen, partial lines are expected and no fault.
        if (numeric) {
            synced_ = true;
            expected_ = number + 1;
            ++goodLines_;
        }
    } else if (numeric && number == expected_ % 1000000000) {
        ++expected_;
        ++goodLines_;
    } else {
        ++faults_;
        // After a damaged line the next whole line shows where the stream went on.
        if (numeric)
            expected_ = number + 1;
        else
            synced_ = false;
    }
    line_.clear();
}

}
