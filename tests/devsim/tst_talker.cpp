#include "devsim/SequenceStream.h"
#include "devsim/TalkerDevice.h"
#include "support/HostedDevice.h"

#include <QDeadlineTimer>
#include <QTest>

#include <thread>

using namespace std::chrono_literals;
using devsim::TalkerDevice;

class tst_talker : public QObject {
    Q_OBJECT

private slots:
    void sendsNumberedLines()
    {
        HostedDevice<TalkerDevice> talker(QStringLiteral("COM1"));
        talker->SetLineInterval(30ms);
        talker.run();
        QVERIFY(talker.pty().receiveUntil("#3\r\n").startsWith(
            "Hello from COM1 #1\r\nHello from COM1 #2\r\nHello from COM1 #3\r\n"));
    }

    // Every byte comes back, and what is injected goes out; the logs keep both in order.
    void echoesAndInjects()
    {
        HostedDevice<TalkerDevice> talker(QStringLiteral("COM1"));
        talker->SetLineInterval(1h);
        talker.run();
        const QByteArray bytes("x\0y\r\n\xff\x7f", 7);
        QVERIFY(talker.pty().send(bytes.left(3)));
        QVERIFY(talker.pty().send(bytes.mid(3)));
        QCOMPARE(talker.pty().receive(bytes.size()), bytes);
        talker->Inject("RING\r\n");
        QCOMPARE(talker.pty().receive(6), QByteArray("RING\r\n"));
        QCOMPARE(talker->Received().Bytes(), bytes);
        QCOMPARE(talker->Sent().Bytes(), bytes + "RING\r\n");
        const auto chunks = talker->Received().Chunks();
        for (size_t i = 1; i < chunks.size(); ++i)
            QVERIFY(chunks[i - 1].at <= chunks[i].at);
    }

    // A reader that falls behind gets the whole stream late, in order.
    void streamSurvivesASlowReader()
    {
        HostedDevice<TalkerDevice> talker(QStringLiteral("COM1"));
        talker->SetStreamRate(400000);
        talker.run();
        std::this_thread::sleep_for(300ms);
        devsim::SequenceChecker checker(TalkerDevice::StreamTag);
        const QDeadlineTimer deadline(500);
        while (!deadline.hasExpired())
            checker.Feed(talker.pty().receive(1, 10));
        QCOMPARE(checker.Faults(), 0u);
        QVERIFY(checker.GoodLines() > 2000);
        QVERIFY(talker->StreamedBytes() >= checker.Bytes());
    }
};

QTEST_GUILESS_MAIN(tst_talker)
#include "tst_talker.moc"
