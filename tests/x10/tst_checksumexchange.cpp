#include "x10/ChecksumExchange.h"

#include <QElapsedTimer>
#include <QTest>
#include <deque>
#include <thread>

namespace {

// Answers reads from a script; an exhausted script is a silent interface.
class ScriptedPort : public x10::ExchangePort {
public:
    std::deque<QByteArray> replies;
    QList<QByteArray> writes;
    int reads = 0;

    void Write(const QByteArray& bytes) override { writes << bytes; }
    bool failing = false;

    std::optional<QByteArray> Read(std::chrono::milliseconds wait) override
    {
        ++reads;
        if (failing)
            return std::nullopt;
        if (replies.empty()) {
            std::this_thread::sleep_for(wait);
            return QByteArray();
        }
        QByteArray r = replies.front();
        replies.pop_front();
        return r;
    }
};

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

}

class tst_checksumexchange : public QObject {
    Q_OBJECT

private slots:
    void checksum_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("sum");
        QTest::newRow("A1 address") << bytes({0x04, 0x66}) << 0x6A;
        QTest::newRow("A2 address") << bytes({0x04, 0x6E}) << 0x72;
        QTest::newRow("A On") << bytes({0x06, 0xD2}) << 0xD8;
        QTest::newRow("carry dropped") << bytes({0xB6, 0x64}) << 0x1A;
        QTest::newRow("collides with data poll") << bytes({0x04, 0x56}) << 0x5A;
        QTest::newRow("collides with power poll") << bytes({0x04, 0xA1}) << 0xA5;
        QTest::newRow("empty") << QByteArray() << 0;
    }
    void checksum()
    {
        QFETCH(QByteArray, payload);
        QFETCH(int, sum);
        QCOMPARE(int(x10::Checksum(payload)), sum);
    }

    void replies_data()
    {
        QTest::addColumn<QList<QByteArray>>("script");
        QTest::addColumn<int>("resends");
        QTest::newRow("right at once") << QList<QByteArray>{{}, {}, bytes({0x6A})} << 0;
        QTest::newRow("wrong once") << QList<QByteArray>{bytes({0x6B}), bytes({0x6A})} << 1;
        QTest::newRow("right sum with a further byte") << QList<QByteArray>{bytes({0x6A, 0x55}), bytes({0x6A})} << 1;
        QTest::newRow("poll byte first") << QList<QByteArray>{bytes({0xA5}), {}, bytes({0x6A})} << 1;
    }
    void replies()
    {
        QFETCH(QList<QByteArray>, script);
        QFETCH(int, resends);
        ScriptedPort port;
        port.replies.assign(script.begin(), script.end());
        const QByteArray payload = bytes({0x04, 0x66});
        QCOMPARE(x10::RunChecksumExchange(port, payload), x10::ExchangeResult::Acknowledged);
        QCOMPARE(port.writes.size(), resends + 1);
        for (int i = 0; i < resends; ++i)
            QCOMPARE(port.writes.at(i), payload);
        QCOMPARE(port.writes.last(), QByteArray(1, '\0'));
    }

    void silentInterface()
    {
        ScriptedPort port;
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(x10::RunChecksumExchange(port, bytes({0x04, 0x66})), x10::ExchangeResult::NoAnswer);
        QVERIFY(clock.elapsed() >= x10::MinimumWait.count());
        QCOMPARE(port.reads, x10::ReadLimit);
        QVERIFY(port.writes.isEmpty());
    }

    void failedPortEndsTheWait()
    {
        ScriptedPort port;
        port.failing = true;
        QCOMPARE(x10::RunChecksumExchange(port, bytes({0x04, 0x66})), x10::ExchangeResult::NoAnswer);
        QCOMPARE(port.reads, 1);
    }

    void lateAnswerWithinTheSecond()
    {
        // More than the read limit of quick empty reads, then the answer: the
        // interface still has its second.
        ScriptedPort port;
        port.replies.assign(x10::ReadLimit + 5000, QByteArray());
        port.replies.push_back(bytes({0x6A}));
        QCOMPARE(x10::RunChecksumExchange(port, bytes({0x04, 0x66})), x10::ExchangeResult::Acknowledged);
    }
};

QTEST_GUILESS_MAIN(tst_checksumexchange)
#include "tst_checksumexchange.moc"
