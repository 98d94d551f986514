#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <atomic>

namespace devsim {

// A byte stream that a reader can check for loss and reordering: numbered
// lines "<tag><9 digits>\r\n", 12 bytes each, counting from 1. The tag tells
// the streams of different senders apart.
QByteArray sequenceLine(char tag, quint64 number);
constexpr qsizetype SequenceLineSize = 12;

class SequenceSource
{
public:
    explicit SequenceSource(char tag) : m_tag(tag) {}
    QByteArray take(qsizetype count);
    quint64 produced() const { return m_produced; }

private:
    char m_tag;
    quint64 m_line = 1;
    qsizetype m_offset = 0;
    quint64 m_produced = 0;
};

// Counters may be read from any thread while another feeds the checker.
class SequenceChecker
{
public:
    // FromFirst expects line 1 first; AnyLine takes the first whole line seen
    // as the start, for a reader that joins a running stream.
    enum class Start { FromFirst, AnyLine };

    explicit SequenceChecker(char tag, Start start = Start::FromFirst);
    void feed(QByteArrayView bytes);

    quint64 bytes() const { return m_bytes; }
    quint64 goodLines() const { return m_goodLines; }
    quint64 faults() const { return m_faults; }
    quint64 nextExpected() const { return m_expected; }

private:
    void checkLine();

    char m_tag;
    bool m_synced;
    QByteArray m_line;
    std::atomic<quint64> m_expected{1};
    std::atomic<quint64> m_bytes{0};
    std::atomic<quint64> m_goodLines{0};
    std::atomic<quint64> m_faults{0};
};

}
