#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <atomic>

namespace devsim {

// A byte stream that a reader can check for loss and reordering: numbered
// lines "<tag><9 digits>\r\n", 12 bytes each, counting from 1. The tag tells
// the streams of different senders apart.
QByteArray SequenceLine(char tag, quint64 number);
constexpr qsizetype SequenceLineSize = 12;

class SequenceSource {
public:
    explicit SequenceSource(char tag)
        : tag_(tag)
    {}
    QByteArray Take(qsizetype count);
    quint64 Produced() const { return produced_; }

private:
    char tag_;
    quint64 line_ = 1;
    qsizetype offset_ = 0;
    quint64 produced_ = 0;
};

// Counters may be read from any thread while another feeds the checker.
class SequenceChecker {
public:
    // FromFirst expects line 1 first; AnyLine takes the first whole line seen
    // as the start, for a reader that joins a running stream.
    enum class Start { FromFirst, AnyLine };

    explicit SequenceChecker(char tag, Start start = Start::FromFirst);
    void Feed(QByteArrayView bytes);

    quint64 Bytes() const { return bytes_; }
    quint64 GoodLines() const { return goodLines_; }
    quint64 Faults() const { return faults_; }
    quint64 NextExpected() const { return expected_; }

private:
    void CheckLine();

    char tag_;
    bool synced_;
    QByteArray line_;
    std::atomic<quint64> expected_{1};
    std::atomic<quint64> bytes_{0};
    std::atomic<quint64> goodLines_{0};
    std::atomic<quint64> faults_{0};
};

}
