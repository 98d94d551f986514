#include "devsim/RelayEnd.h"

namespace devsim {

namespace {
constexpr qsizetype MaxLine = 64;
const QByteArray QueryWord = "QUERY ";
const QByteArray ReplyWord = "REPLY ";
}

RelayEnd::RelayEnd(Role role, QObject* parent)
    : SimDevice(parent)
    , role_(role)
{
    queryTimer_.setInterval(std::chrono::seconds(1));
    connect(&queryTimer_, &QTimer::timeout, this, &RelayEnd::SendQuery);
}

void RelayEnd::SetQueryInterval(std::chrono::milliseconds interval)
{
    queryTimer_.setInterval(interval);
}

void RelayEnd::SetStreamRate(int bytesPerSecond)
{
    streamRate_ = bytesPerSecond;
    if (bytesPerSecond > 0)
        checker_.emplace(StreamTag(role_ == Role::Query ? Role::Reply : Role::Query));
    else
        checker_.reset();
}

RelayEnd::Counters RelayEnd::Counts() const
{
    Counters c;
    c.queriesSent = queriesSent_;
    c.queriesAnswered = queriesAnswered_;
    c.repliesMatched = repliesMatched_;
    c.badLines = badLines_;
    c.streamSent = StreamedBytes();
    if (checker_) {
        c.streamReceived = checker_->Bytes();
        c.streamGoodLines = checker_->GoodLines();
        c.streamFaults = checker_->Faults();
    }
    return c;
}

void RelayEnd::OnStart()
{
    if (streamRate_ > 0)
        StreamSequence(StreamTag(role_), streamRate_);
    else if (role_ == Role::Query)
        queryTimer_.start();
}

void RelayEnd::OnBytes(const QByteArray& bytes)
{
    if (checker_) {
        checker_->Feed(bytes);
        return;
    }
    for (char c : bytes) {
        if (c == '\n') {
            TakeLine(line_.endsWith('\r') ? line_.chopped(1) : line_);
            line_.clear();
        } else if (line_.size() < MaxLine) {
            line_ += c;
        }
    }
}

void RelayEnd::SendQuery()
{
    if (Backlogged())
        return;
    Write(QueryWord + QByteArray::number(++queriesSent_) + "\r\n");
}

void RelayEnd::TakeLine(const QByteArray& line)
{
    const QByteArray& expected = role_ == Role::Query ? ReplyWord : QueryWord;
    bool numeric = false;
    const quint64 number = line.startsWith(expected) ? line.mid(expected.size()).toULongLong(&numeric) : 0;
    if (!numeric) {
        ++badLines_;
    } else if (role_ == Role::Reply) {
        ++queriesAnswered_;
        Write(ReplyWord + QByteArray::number(number) + "\r\n");
    } else if (number >= 1 && number <= queriesSent_) {
        ++repliesMatched_;
    } else {
        ++badLines_;
    }
}

}
