#include "devsim/Cm11Device.h"
#include "support/HostedDevice.h"

#include <QTest>

#include <thread>

using namespace std::chrono_literals;
using devsim::Cm11Device;

namespace {

QByteArray Byte(quint8 value)
{
    return QByteArray(1, char(value));
}

// An interface that is past its power-fail report, with a quick power line.
void SkipPowerFail(HostedDevice<Cm11Device>& cm11)
{
    cm11->SetPollAtStart(false);
    cm11->SetPowerLineDelay(20ms);
}


}

class tst_cm11 : public QObject {
    Q_OBJECT

private slots:
    void pollsUntilAnswered()
    {
        HostedDevice<Cm11Device> cm11;
        cm11->SetPollInterval(20ms);
        cm11.run();
        PtyPair& peer = cm11.pty();
        QCOMPARE(peer.receive(3).left(3), QByteArray("\xA5\xA5\xA5"));
        QVERIFY(peer.send(Byte(0xFB)));
        QTRY_VERIFY(!cm11->Polling());
        peer.receive(1, 50);
        peer.receiveAvailable();
        QCOMPARE(peer.receive(1, 150), QByteArray());
    }

    void clockRecordEndsPolling()
    {
        HostedDevice<Cm11Device> cm11;
        cm11->SetPollInterval(20ms);
        cm11->SetPowerLineDelay(10ms);
        cm11.run();
        PtyPair& peer = cm11.pty();
        QVERIFY(!peer.receive(1).isEmpty());
        QVERIFY(peer.send(QByteArray::fromHex("9B000000000007")));
        QTRY_VERIFY(!cm11->Polling());
        QVERIFY(peer.receiveUntil("\x07").endsWith("\x07"));
        QCOMPARE(peer.receive(1, 100), QByteArray());
        QVERIFY(peer.send(Byte(0x00)));
        QCOMPARE(peer.receive(1), Byte(0x55));
    }

    void checksums_data()
    {
        QTest::addColumn<QByteArray>("transmission");
        QTest::addColumn<quint8>("sum");
        QTest::addColumn<bool>("byteByByte");
        const struct {
            const char* hex;
            quint8 sum;
        } vectors[] = {{"0466", 0x6A}, {"046E", 0x72}, {"04DF", 0xE3}, {"06D2", 0xD8},
                       {"B664", 0x1A}, {"0456", 0x5A}, {"04A1", 0xA5}, {"0767010203", 0x74}};
        for (const auto& v : vectors) {
            QTest::addRow("%s at once", v.hex) << QByteArray::fromHex(v.hex) << v.sum << false;
            QTest::addRow("%s byte by byte", v.hex) << QByteArray::fromHex(v.hex) << v.sum << true;
        }
    }

    void checksums()
    {
        QFETCH(QByteArray, transmission);
        QFETCH(quint8, sum);
        QFETCH(bool, byteByByte);
        QCOMPARE(Cm11Device::Checksum(transmission), sum);

        HostedDevice<Cm11Device> cm11;
        SkipPowerFail(cm11);
        cm11.run();
        PtyPair& peer = cm11.pty();
        if (byteByByte) {
            for (char c : transmission) {
                QVERIFY(peer.send(QByteArray(1, c)));
                std::this_thread::sleep_for(20ms);
            }
        } else {
            QVERIFY(peer.send(transmission));
        }
        QCOMPARE(peer.receive(1), Byte(sum));
        QVERIFY(peer.send(Byte(0x00)));
        QCOMPARE(peer.receive(1), Byte(0x55));
        QCOMPARE(cm11->Completed(), 1);
    }

    void wrongChecksumOnceNeedsAResend()
    {
        HostedDevice<Cm11Device> cm11;
        SkipPowerFail(cm11);
        cm11->SetWrongChecksumOnce(true);
        cm11.run();
        PtyPair& peer = cm11.pty();
        const QByteArray transmission = QByteArray::fromHex("0466");
        QVERIFY(peer.send(transmission));
        QCOMPARE(peer.receive(1), Byte(0x6B));
        QVERIFY(peer.send(transmission));
        QCOMPARE(peer.receive(1), Byte(0x6A));
        QVERIFY(peer.send(Byte(0x00)));
        QCOMPARE(peer.receive(1), Byte(0x55));
        QCOMPARE(cm11->Completed(), 1);
    }

    void otherByteInsteadOfAckStartsOver()
    {
        HostedDevice<Cm11Device> cm11;
        SkipPowerFail(cm11);
        cm11.run();
        PtyPair& peer = cm11.pty();
        QVERIFY(peer.send(QByteArray::fromHex("0466")));
        QCOMPARE(peer.receive(1), Byte(0x6A));
        QVERIFY(peer.send(QByteArray::fromHex("06D2")));
        QCOMPARE(peer.receive(1), Byte(0xD8));
        QCOMPARE(cm11->Completed(), 0);
    }

    void lateAnswer()
    {
        HostedDevice<Cm11Device> cm11;
        SkipPowerFail(cm11);
        cm11->SetAnswerDelay(300ms);
        cm11.run();
        PtyPair& peer = cm11.pty();
        const auto sentAt = std::chrono::steady_clock::now();
        QVERIFY(peer.send(QByteArray::fromHex("0466")));
        QCOMPARE(peer.receive(1), Byte(0x6A));
        const auto chunks = cm11->Sent().Chunks();
        QCOMPARE(chunks.size(), size_t(1));
        QVERIFY(chunks.front().at - sentAt >= 300ms);
    }

    void silent()
    {
        HostedDevice<Cm11Device> cm11;
        cm11->SetSilent(true);
        cm11->SetPollInterval(20ms);
        cm11.run();
        PtyPair& peer = cm11.pty();
        QVERIFY(peer.send(QByteArray::fromHex("0466")));
        QCOMPARE(peer.receive(1, 200), QByteArray());
        QTRY_COMPARE(cm11->Received().Bytes(), QByteArray::fromHex("0466"));
    }
};

QTEST_GUILESS_MAIN(tst_cm11)
#include "tst_cm11.moc"
