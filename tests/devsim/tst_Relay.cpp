#include "devsim/RelayEnd.h"
#include "support/HostedDevice.h"

#include <QDeadlineTimer>
#include <QTest>

using namespace std::chrono_literals;
using devsim::RelayEnd;

class tst_Relay : public QObject {
    Q_OBJECT

private slots:
    // The test plays the relaying program between the two ends.
    void relayed_data()
    {
        QTest::addColumn<bool>("stream");
        QTest::newRow("queries and replies") << false;
        QTest::newRow("a stream each way") << true;
    }
    void relayed()
    {
        QFETCH(bool, stream);
        HostedDevice<RelayEnd> query(RelayEnd::Role::Query), reply(RelayEnd::Role::Reply);
        if (stream) {
            query->SetStreamRate(20000);
            reply->SetStreamRate(20000);
        } else {
            query->SetQueryInterval(20ms);
        }
        query.Run();
        reply.Run();
        for (const QDeadlineTimer deadline(500); !deadline.hasExpired();) {
            reply.Pty().Send(query.Pty().Receive(1, 5));
            query.Pty().Send(reply.Pty().Receive(1, 5));
        }
        // Nothing moves between the ends any more, so only what they send can still grow.
        const RelayEnd::Counters asked = query->Counts(), answered = reply->Counts();
        if (!stream) {
            QVERIFY(asked.repliesMatched >= 3);
            QVERIFY(asked.repliesMatched <= answered.queriesAnswered);
            QVERIFY(answered.queriesAnswered <= asked.queriesSent);
            QCOMPARE(asked.badLines + answered.badLines, 0u);
            return;
        }
        for (const auto& [received, sender] : {std::pair{asked, &reply}, std::pair{answered, &query}}) {
            QVERIFY(received.streamGoodLines > 100);
            QCOMPARE(received.streamFaults, 0u);
            QVERIFY((*sender)->Counts().streamSent >= received.streamReceived);
        }
    }

    void replyEndAnswersWholeLinesOnly()
    {
        HostedDevice<RelayEnd> reply(RelayEnd::Role::Reply);
        reply.Run();
        PtyPair& peer = reply.Pty();
        QVERIFY(peer.Send("QUE"));
        QVERIFY(peer.Send("RY 7\r"));
        QCOMPARE(peer.Receive(1, 100), QByteArray());
        QVERIFY(peer.Send("\nnonsense\nQUERY 8\n"));
        QCOMPARE(peer.ReceiveUntil("REPLY 8\r\n"), QByteArray("REPLY 7\r\nREPLY 8\r\n"));
        QTRY_COMPARE(reply->Counts().badLines, 1u);
    }
};

QTEST_GUILESS_MAIN(tst_Relay)
#include "tst_Relay.moc"
