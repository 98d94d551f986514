#pragma once

#include "SimDevice.h"

#include <atomic>
#include <chrono>
#include <optional>

namespace devsim {

// One of two devices that talk to each other through a relaying program.
// The Query end sends "QUERY <n>\r\n" at a steady pace and checks the
// replies; the Reply end answers each whole "QUERY <n>" line with
// "REPLY <n>\r\n". In stream mode each end instead sends the verifiable
// sequence at a fixed rate (Query end tag 'Q', Reply end tag 'R') and checks
// the other end's sequence for loss and reordering.
class RelayEnd : public SimDevice
{
    Q_OBJECT
public:
    enum class Role { Query, Reply };

    struct Counters
    {
        quint64 queriesSent = 0;
        quint64 queriesAnswered = 0;
        quint64 repliesMatched = 0;
        quint64 badLines = 0;
        quint64 streamSent = 0;
        quint64 streamReceived = 0;
        quint64 streamGoodLines = 0;
        quint64 streamFaults = 0;
    };

    explicit RelayEnd(Role role, QObject *parent = nullptr);
    void setQueryInterval(std::chrono::milliseconds interval);
    void setStreamRate(int bytesPerSecond);
    // Readable from any thread.
    Counters counters() const;

    static char streamTag(Role role) { return role == Role::Query ? 'Q' : 'R'; }

protected:
    void onStart() override;
    void onBytes(const QByteArray &bytes) override;

private:
    void sendQuery();
    void takeLine(const QByteArray &line);

    Role m_role;
    QTimer m_queryTimer{this};
    int m_streamRate = 0;
    QByteArray m_line;
    std::optional<SequenceChecker> m_checker;
    std::atomic<quint64> m_queriesSent{0};
    std::atomic<quint64> m_queriesAnswered{0};
    std::atomic<quint64> m_repliesMatched{0};
    std::atomic<quint64> m_badLines{0};
};

}
