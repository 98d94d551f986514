#include "devsim/SequenceStream.h"

#include <QTest>

using devsim::SequenceChecker;

class tst_sequence : public QObject {
    Q_OBJECT

private slots:
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
        QFETCH(quint64, faults);
        QFETCH(quint64, good);
        SequenceChecker whole('T', SequenceChecker::Start(start));
        whole.Feed(stream);
        QCOMPARE(whole.Faults(), faults);
        QCOMPARE(whole.GoodLines(), good);

        SequenceChecker byByte('T', SequenceChecker::Start(start));
        for (char c : stream)
            byByte.Feed(QByteArrayView(&c, 1));
        QCOMPARE(byByte.Faults(), faults);
        QCOMPARE(byByte.Bytes(), quint64(stream.size()));
    }
};

QTEST_GUILESS_MAIN(tst_sequence)
#include "tst_sequence.moc"
