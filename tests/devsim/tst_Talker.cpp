#include "devsim/SequenceStream.h"
#include "devsim/TalkerDevice.h"
#include "support/HostedDevice.h"

#include <QDeadlineTimer>
#include <QTest>

#include <thread>

using namespace std::chrono_literals;
using devsim::SequenceChecker;
using devsim::TalkerDevice;

class tst_Talker : public QObject {
    Q_OBJECT

private slots:
    // Every byte comes back, and what is injected goes out.
    void echoesAndInjects()
    {
        HostedDevice<TalkerDevice> talker(QStringLiteral("COM1"));
        talker->SetLineInterval(1h);
        talker.Run();
        const QByteArray bytes("x\0y\r\n\xff\x7f", 7);
        QVERIFY(talker.Pty().Send(bytes.left(3)));
        QVERIFY(talker.Pty().Send(bytes.mid(3)));
        QCOMPARE(talker.Pty().Receive(bytes.size()), bytes);
        talker->Inject("RING\r\n");
        QCOMPARE(talker.Pty().Receive(6), QByteArray("RING\r\n"));
    }

    // A reader that falls behind gets the whole stream late, in order.
    void streamSurvivesASlowReader()
    {
        HostedDevice<TalkerDevice> talker(QStringLiteral("COM1"));
        talker->SetStreamRate(400000);
        talker.Run();
        std::this_thread::sleep_for(300ms);
        devsim::SequenceChecker checker(TalkerDevice::StreamTag);
        const QDeadlineTimer deadline(500);
        while (!deadline.hasExpired())
            checker.Feed(talker.Pty().Receive(1, 10));
        QCOMPARE(checker.Faults(), 0u);
        QVERIFY(checker.GoodLines() > 2000);
        QVERIFY(talker->StreamedBytes() >= checker.Bytes());
    }

    void checker_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<int>("start");
        QTest::addColumn<quint64>("faults");
        QTest::addColumn<quint64>("good");

        const auto lines = [](std::initializer_list<int> numbers) {
            QByteArray out;
            for (int n : numbers)
                out += devsim::SequenceLine('T', n);
            return out;
        };
        const int first = int(SequenceChecker::Start::FromFirst);
        const int any = int(SequenceChecker::Start::AnyLine);
        QTest::newRow("intact") << lines({1, 2, 3, 4}) << first << 0ull << 4ull;
        QTest::newRow("line lost") << lines({1, 2, 4, 5}) << first << 1ull << 3ull;
        QTest::newRow("reordered") << lines({1, 3, 2, 4}) << first << 3ull << 1ull;
        QTest::newRow("byte lost") << lines({1, 2}) + QByteArray("T00000003\r\n") + lines({4}) << first << 1ull << 3ull;
        QTest::newRow("line break lost") << lines({1}) + QByteArray("T000000002\r") + lines({3, 4}) << first << 1ull
                                         << 2ull;
        QTest::newRow("other tag") << devsim::SequenceLine('Q', 1) << first << 1ull << 0ull;
        QTest::newRow("not from 1") << lines({5, 6}) << first << 1ull << 1ull;
        QTest::newRow("joins mid-line") << lines({5, 6}).mid(4) + lines({7}) << any << 0ull << 2ull;
    }

    void checker()
    {
        QFETCH(QByteArray, stream);
        QFETCH(int, start);
        for (const qsizetype piece : {stream.size(), qsizetype(1)}) { // whole, then byte by byte
            SequenceChecker checker('T', SequenceChecker::Start(start));
            for (qsizetype at = 0; at < stream.size(); at += piece)
                checker.Feed(QByteArrayView(stream).sliced(at, piece));
            QTEST(checker.Faults(), "faults");
            QTEST(checker.GoodLines(), "good");
            QCOMPARE(checker.Bytes(), quint64(stream.size()));
        }
    }
};

QTEST_GUILESS_MAIN(tst_Talker)
#include "tst_Talker.moc"
