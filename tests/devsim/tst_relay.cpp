#include "devsim/RelayEnd.h"
#include "support/HostedDevice.h"

#include <QDeadlineTimer>
#include <QTest>

using namespace std::chrono_literals;
using devsim::RelayEnd;

namespace {

// Plays the relaying program between the two ends for a while.
void Relay(PtyPair& a, PtyPair& b, int durationMs)
{
    const QDeadlineTimer deadline(durationMs);
    while (!deadline.hasExpired()) {
        b.send(a.receive(1, 5));
        a.send(b.receive(1, 5));
    }
}


}

class tst_relay : public QObject {
    Q_OBJECT

private slots:
    void queriesGetReplies()
    {
        HostedDevice<RelayEnd> query(RelayEnd::Role::Query);
        HostedDevice<RelayEnd> reply(RelayEnd::Role::Reply);
        query->SetQueryInterval(20ms);
        query.run();
        reply.run();
        Relay(query.pty(), reply.pty(), 300);
        // Nothing moves between the ends any more, so only queriesSent can still grow.
        const RelayEnd::Counters answered = reply->Counts();
        const RelayEnd::Counters asked = query->Counts();
        QVERIFY(asked.repliesMatched >= 3);
        QVERIFY(asked.repliesMatched <= answered.queriesAnswered);
        QVERIFY(answered.queriesAnswered <= asked.queriesSent);
        QCOMPARE(asked.badLines, 0u);
        QCOMPARE(answered.badLines, 0u);
    }

    void replyEndAnswersWholeLinesOnly()
    {
        HostedDevice<RelayEnd> reply(RelayEnd::Role::Reply);
        reply.run();
        PtyPair& peer = reply.pty();
        QVERIFY(peer.send("QUE"));
        QVERIFY(peer.send("RY 7\r"));
        QCOMPARE(peer.receive(1, 100), QByteArray());
        QVERIFY(peer.send("\nnonsense\nQUERY 8\n"));
        QCOMPARE(peer.receiveUntil("REPLY 8\r\n"), QByteArray("REPLY 7\r\nREPLY 8\r\n"));
        QTRY_COMPARE(reply->Counts().badLines, 1u);
    }

    void streamsBothWays()
    {
        HostedDevice<RelayEnd> query(RelayEnd::Role::Query);
        HostedDevice<RelayEnd> reply(RelayEnd::Role::Reply);
        query->SetStreamRate(20000);
        reply->SetStreamRate(20000);
        query.run();
        reply.run();
        Relay(query.pty(), reply.pty(), 500);
        const std::pair<HostedDevice<RelayEnd>*, HostedDevice<RelayEnd>*> directions[]
            = {{&query, &reply}, {&reply, &query}};
        for (const auto& [receiver, sender] : directions) {
            QTRY_VERIFY((*receiver)->Counts().streamGoodLines > 100);
            const RelayEnd::Counters received = (*receiver)->Counts();
            QCOMPARE(received.streamFaults, 0u);
            QVERIFY((*sender)->Counts().streamSent >= received.streamReceived);
        }
    }

    void streamCheckCatchesLoss()
    {
        HostedDevice<RelayEnd> reply(RelayEnd::Role::Reply);
        reply->SetStreamRate(100);
        reply.run();
        QVERIFY(reply.pty().send(devsim::SequenceLine('Q', 1) + devsim::SequenceLine('Q', 3)));
        QTRY_COMPARE(reply->Counts().streamFaults, 1u);
        QCOMPARE(reply->Counts().streamGoodLines, 1u);
    }
};

QTEST_GUILESS_MAIN(tst_relay)
#include "tst_relay.moc"
