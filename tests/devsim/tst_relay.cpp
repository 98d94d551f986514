#include "PeerTerminal.h"
#include "RelayEnd.h"

#include <QTest>

using devsim::RelayEnd;

namespace {
// Plays the relaying program between the two ends for a while.
void relay(PeerTerminal &a, PeerTerminal &b, std::chrono::milliseconds duration)
{
    const QDeadlineTimer deadline(duration);
    while (!deadline.hasExpired()) {
        a.collect(5ms);
        b.send(a.takeAll());
        b.collect(5ms);
        a.send(b.takeAll());
    }
}
}

class RelayTest : public QObject
{
    Q_OBJECT
private slots:
    void queriesGetReplies()
    {
        DeviceRig<RelayEnd> query(RelayEnd::Role::Query);
        DeviceRig<RelayEnd> reply(RelayEnd::Role::Reply);
        query.device.setQueryInterval(20ms);
        PeerTerminal &q = query.run();
        PeerTerminal &r = reply.run();
        relay(q, r, 300ms);
        // Nothing moves between the ends any more, so only queriesSent can still grow.
        const RelayEnd::Counters answered = reply.device.counters();
        const RelayEnd::Counters asked = query.device.counters();
        QVERIFY(asked.repliesMatched >= 3);
        QVERIFY(asked.repliesMatched <= answered.queriesAnswered);
        QVERIFY(answered.queriesAnswered <= asked.queriesSent);
        QCOMPARE(asked.badLines, 0u);
        QCOMPARE(answered.badLines, 0u);
    }

    void replyEndAnswersWholeLinesOnly()
    {
        DeviceRig<RelayEnd> reply(RelayEnd::Role::Reply);
        PeerTerminal &peer = reply.run();
        QVERIFY(peer.send("QUE"));
        QVERIFY(peer.send("RY 7\r"));
        peer.collect(100ms);
        QCOMPARE(peer.buffer(), QByteArray());
        QVERIFY(peer.send("\nnonsense\nQUERY 8\n"));
        QVERIFY(peer.waitFor("REPLY 8\r\n"));
        QCOMPARE(peer.buffer(), QByteArray("REPLY 7\r\nREPLY 8\r\n"));
        QTRY_COMPARE(reply.device.counters().badLines, 1u);
    }

    void streamsBothWays()
    {
        DeviceRig<RelayEnd> query(RelayEnd::Role::Query);
        DeviceRig<RelayEnd> reply(RelayEnd::Role::Reply);
        query.device.setStreamRate(20000);
        reply.device.setStreamRate(20000);
        PeerTerminal &q = query.run();
        PeerTerminal &r = reply.run();
        relay(q, r, 500ms);
        const std::pair<const RelayEnd *, const RelayEnd *> directions[] = {
            {&query.device, &reply.device}, {&reply.device, &query.device}};
        for (const auto &[receiver, sender] : directions) {
            QTRY_VERIFY(receiver->counters().streamGoodLines > 100);
            const RelayEnd::Counters received = receiver->counters();
            QCOMPARE(received.streamFaults, 0u);
            QVERIFY(sender->counters().streamSent >= received.streamReceived);
        }
    }

    void streamCheckCatchesLoss()
    {
        DeviceRig<RelayEnd> reply(RelayEnd::Role::Reply);
        reply.device.setStreamRate(100);
        PeerTerminal &peer = reply.run();
        QVERIFY(peer.send(devsim::sequenceLine('Q', 1) + devsim::sequenceLine('Q', 3)));
        QTRY_COMPARE(reply.device.counters().streamFaults, 1u);
        QCOMPARE(reply.device.counters().streamGoodLines, 1u);
    }
};

QTEST_GUILESS_MAIN(RelayTest)
#include "tst_relay.moc"
