#include "Cm11Device.h"
#include "PeerTerminal.h"

#include <QTest>

#include <thread>

using devsim::Cm11Device;

namespace {
QByteArray byte(quint8 value)
{
    return QByteArray(1, char(value));
}

// An interface that is past its power-fail report, with a quick power line.
struct ReadyCm11 : DeviceRig<Cm11Device>
{
    ReadyCm11()
    {
        device.setPollAtStart(false);
        device.setPowerLineDelay(20ms);
    }
};
}

class Cm11Test : public QObject
{
    Q_OBJECT
private slots:
    void pollsUntilAnswered()
    {
        DeviceRig<Cm11Device> rig;
        rig.device.setPollInterval(20ms);
        PeerTerminal &peer = rig.run();
        QVERIFY(peer.waitForSize(3));
        QCOMPARE(peer.buffer().left(3), QByteArray("\xA5\xA5\xA5"));
        QVERIFY(peer.send(byte(0xFB)));
        QTRY_VERIFY(!rig.device.polling());
        peer.collect(50ms);
        peer.takeAll();
        peer.collect(150ms);
        QCOMPARE(peer.buffer(), QByteArray());
    }

    void clockRecordEndsPolling()
    {
        DeviceRig<Cm11Device> rig;
        rig.device.setPollInterval(20ms);
        rig.device.setPowerLineDelay(10ms);
        PeerTerminal &peer = rig.run();
        QVERIFY(peer.waitForSize(1));
        QVERIFY(peer.send(QByteArray::fromHex("9B000000000007")));
        QTRY_VERIFY(!rig.device.polling());
        peer.collect(100ms);
        QVERIFY(peer.buffer().endsWith("\x07"));
        peer.takeAll();
        QVERIFY(peer.send(byte(0x00)));
        QVERIFY(peer.waitForSize(1));
        QCOMPARE(peer.buffer(), byte(0x55));
    }

    void checksums_data()
    {
        QTest::addColumn<QByteArray>("transmission");
        QTest::addColumn<quint8>("sum");
        QTest::addColumn<bool>("byteByByte");
        const struct
        {
            const char *hex;
            quint8 sum;
        } vectors[] = {{"0466", 0x6A}, {"046E", 0x72}, {"04DF", 0xE3}, {"06D2", 0xD8},
                       {"B664", 0x1A}, {"0456", 0x5A}, {"04A1", 0xA5}, {"0767010203", 0x74}};
        for (const auto &v : vectors) {
            QTest::addRow("%s at once", v.hex) << QByteArray::fromHex(v.hex) << v.sum << false;
            QTest::addRow("%s byte by byte", v.hex) << QByteArray::fromHex(v.hex) << v.sum << true;
        }
    }

    void checksums()
    {
        QFETCH(QByteArray, transmission);
        QFETCH(quint8, sum);
        QFETCH(bool, byteByByte);
        QCOMPARE(Cm11Device::checksum(transmission), sum);

        ReadyCm11 rig;
        PeerTerminal &peer = rig.run();
        if (byteByByte) {
            for (char c : transmission) {
                QVERIFY(peer.send(QByteArray(1, c)));
                std::this_thread::sleep_for(20ms);
            }
        } else {
            QVERIFY(peer.send(transmission));
        }
        QVERIFY(peer.waitForSize(1));
        QCOMPARE(peer.takeAll(), byte(sum));
        QVERIFY(peer.send(byte(0x00)));
        QVERIFY(peer.waitForSize(1));
        QCOMPARE(peer.takeAll(), byte(0x55));
        QCOMPARE(rig.device.completed(), 1);
    }

    void wrongChecksumOnceNeedsAResend()
    {
        ReadyCm11 rig;
        rig.device.setWrongChecksumOnce(true);
        PeerTerminal &peer = rig.run();
        const QByteArray transmission = QByteArray::fromHex("0466");
        QVERIFY(peer.send(transmission));
        QVERIFY(peer.waitForSize(1));
        QCOMPARE(peer.takeAll(), byte(0x6B));
        QVERIFY(peer.send(transmission));
        QVERIFY(peer.waitForSize(1));
        QCOMPARE(peer.takeAll(), byte(0x6A));
        QVERIFY(peer.send(byte(0x00)));
        QVERIFY(peer.waitForSize(1));
        QCOMPARE(peer.takeAll(), byte(0x55));
        QCOMPARE(rig.device.completed(), 1);
    }

    void otherByteInsteadOfAckStartsOver()
    {
        ReadyCm11 rig;
        PeerTerminal &peer = rig.run();
        QVERIFY(peer.send(QByteArray::fromHex("0466")));
        QVERIFY(peer.waitForSize(1));
        QVERIFY(peer.send(QByteArray::fromHex("06D2")));
        QVERIFY(peer.waitForSize(2));
        QCOMPARE(peer.takeAll(), QByteArray::fromHex("6AD8"));
        QCOMPARE(rig.device.completed(), 0);
    }

    void lateAnswer()
    {
        ReadyCm11 rig;
        rig.device.setAnswerDelay(300ms);
        PeerTerminal &peer = rig.run();
        const auto sentAt = std::chrono::steady_clock::now();
        QVERIFY(peer.send(QByteArray::fromHex("0466")));
        QVERIFY(peer.waitForSize(1));
        QCOMPARE(peer.takeAll(), byte(0x6A));
        const auto chunks = rig.device.sent().chunks();
        QCOMPARE(chunks.size(), size_t(1));
        QVERIFY(chunks.front().at - sentAt >= 300ms);
    }

    void silent()
    {
        DeviceRig<Cm11Device> rig;
        rig.device.setSilent(true);
        rig.device.setPollInterval(20ms);
        PeerTerminal &peer = rig.run();
        QVERIFY(peer.send(QByteArray::fromHex("0466")));
        peer.collect(200ms);
        QCOMPARE(peer.buffer(), QByteArray());
        QTRY_COMPARE(rig.device.received().bytes(), QByteArray::fromHex("0466"));
    }
};

QTEST_GUILESS_MAIN(Cm11Test)
#include "tst_cm11.moc"
