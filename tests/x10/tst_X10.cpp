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
    QByteArrayList writes;
    bool failing = false;
    int reads = 0;

    void Write(const QByteArray& bytes) override { writes << bytes.toHex().toUpper(); }
    std::optional<QByteArray> Read(std::chrono::milliseconds wait) override
    {
        ++reads;
        if (failing)
            return std::nullopt;
        if (replies.empty()) {
            std::this_thread::sleep_for(wait);
            return QByteArray();
        }
        const QByteArray reply = replies.front();
        replies.pop_front();
        return reply;
    }
};

}

class tst_X10 : public QObject {
    Q_OBJECT

private slots:
    // Replies and writes are hex pieces, "-" a read that found nothing; the payload was written before.
    void exchange_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("emptyReads");
        QTest::addColumn<QByteArray>("replies");
        QTest::addColumn<bool>("failing");
        QTest::addColumn<QByteArray>("writes");
        QTest::newRow("wrong byte, nothing, right sum") << QByteArray("0466") << 0 << QByteArray("A5 - 6A") << false << QByteArray("0466 00");
        QTest::newRow("sum without the carry") << QByteArray("B664") << 0 << QByteArray("1A") << false << QByteArray("00");
        QTest::newRow("right sum and a further byte") << QByteArray("0466") << 0 << QByteArray("6A55 6A") << false << QByteArray("0466 00");
        // More than the read limit of quick empty reads: the interface still has its second.
        QTest::newRow("late answer") << QByteArray("0466") << x10::ReadLimit + 5000 << QByteArray("6A") << false << QByteArray("00");
        QTest::newRow("silent") << QByteArray("0466") << 0 << QByteArray() << false << QByteArray();
        QTest::newRow("port failed") << QByteArray("0466") << 0 << QByteArray() << true << QByteArray();
    }
    void exchange()
    {
        QFETCH(QByteArray, payload);
        QFETCH(int, emptyReads);
        QFETCH(QByteArray, replies);
        QFETCH(bool, failing);
        QFETCH(QByteArray, writes);
        ScriptedPort port;
        port.replies.resize(size_t(emptyReads));
        for (const QByteArray& reply : replies.split(' '))
            if (!reply.isEmpty())
                port.replies.push_back(reply == "-" ? QByteArray() : QByteArray::fromHex(reply));
        port.failing = failing;
        QElapsedTimer clock;
        clock.start();
        const bool acknowledged = x10::RunChecksumExchange(port, QByteArray::fromHex(payload)) == x10::ExchangeResult::Acknowledged;
        QCOMPARE(port.writes.join(' '), writes);
        QCOMPARE(acknowledged, !writes.isEmpty());
        if (!acknowledged) // silence ends after the read limit and the minimum wait, a failed port at once
            QVERIFY(port.reads == (failing ? 1 : x10::ReadLimit) && (failing || clock.elapsed() >= x10::MinimumWait.count()));
    }
};

QTEST_MAIN(tst_X10)
#include "tst_X10.moc"
