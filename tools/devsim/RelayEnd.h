#pragma once

#include "devsim/SimDevice.h"

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
class RelayEnd : public SimDevice {
    Q_OBJECT

public:
    enum class Role { Query, Reply };

    struct Counters {
        quint64 queriesSent = 0;
        quint64 queriesAnswered = 0;
        quint64 repliesMatched = 0;
        quint64 badLines = 0;
        quint64 streamSent = 0;
        quint64 streamReceived = 0;
        quint64 streamGoodLines = 0;
        quint64 streamFaults = 0;
    };

    explicit RelayEnd(Role role, QObject* parent = nullptr);
    void SetQueryInterval(std::chrono::milliseconds interval);
    void SetStreamRate(int bytesPerSecond);
    // Readable from any thread.
    Counters Counts() const;

    static char StreamTag(Role role) { return role == Role::Query ? 'Q' : 'R'; }

protected:
    void OnStart() override;
    void OnBytes(const QByteArray& bytes) override;

private:
    void SendQuery();
    void TakeLine(const QByteArray& line);

    Role role_;
    QTimer queryTimer_{this};
    int streamRate_ = 0;
    QByteArray line_;
    std::optional<SequenceChecker> checker_;
    std::atomic<quint64> queriesSent_{0};
    std::atomic<quint64> queriesAnswered_{0};
    std::atomic<quint64> repliesMatched_{0};
    std::atomic<quint64> badLines_{0};
};

}
