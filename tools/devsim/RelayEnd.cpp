#include "RelayEnd.h"

namespace devsim {

namespace {
constexpr qsizetype MaxLine = 64;
const QByteArray QueryWord = "QUERY ";
const QByteArray ReplyWord = "REPLY ";
}

RelayEnd::RelayEnd(Role role, QObject *parent) : SimDevice(parent), m_role(role)
{
    m_queryTimer.setInterval(std::chrono::seconds(1));
    connect(&m_queryTimer, &QTimer::timeout, this, &RelayEnd::sendQuery);
}

void RelayEnd::setQueryInterval(std::chrono::milliseconds interval)
{
    m_queryTimer.setInterval(interval);
}

void RelayEnd::setStreamRate(int bytesPerSecond)
{
    m_streamRate = bytesPerSecond;
    if (bytesPerSecond > 0)
        m_checker.emplace(streamTag(m_role == Role::Query ? Role::Reply : Role::Query));
    else
        m_checker.reset();
}

RelayEnd::Counters RelayEnd::counters() const
{
    Counters c;
    c.queriesSent = m_queriesSent;
    c.queriesAnswered = m_queriesAnswered;
    c.repliesMatched = m_repliesMatched;
    c.badLines = m_badLines;
    c.streamSent = streamedBytes();
    if (m_checker) {
        c.streamReceived = m_checker->bytes();
        c.streamGoodLines = m_checker->goodLines();
        c.streamFaults = m_checker->faults();
    }
    return c;
}

void RelayEnd::onStart()
{
    if (m_streamRate > 0)
        streamSequence(streamTag(m_role), m_streamRate);
    else if (m_role == Role::Query)
        m_queryTimer.start();
}

void RelayEnd::onBytes(const QByteArray &bytes)
{
    if (m_checker) {
        m_checker->feed(bytes);
        return;
    }
    for (char c : bytes) {
        if (c == '\n') {
            takeLine(m_line.endsWith('\r') ? m_line.chopped(1) : m_line);
            m_line.clear();
        } else if (m_line.size() < MaxLine) {
            m_line += c;
        }
    }
}

void RelayEnd::sendQuery()
{
    if (backlogged())
        return;
    write(QueryWord + QByteArray::number(++m_queriesSent) + "\r\n");
}

void RelayEnd::takeLine(const QByteArray &line)
{
    const QByteArray &expected = m_role == Role::Query ? ReplyWord : QueryWord;
    bool numeric = false;
    const quint64 number = line.startsWith(expected) ? line.mid(expected.size()).toULongLong(&numeric) : 0;
    if (!numeric) {
        ++m_badLines;
    } else if (m_role == Role::Reply) {
        ++m_queriesAnswered;
        write(ReplyWord + QByteArray::number(number) + "\r\n");
    } else if (number >= 1 && number <= m_queriesSent) {
        ++m_repliesMatched;
    } else {
        ++m_badLines;
    }
}

}
