#include "CreativeIrDevice.h"
#include "PeerTerminal.h"

#include <QTest>

using devsim::CreativeIrDevice;

class CreativeIrTest : public QObject
{
    Q_OBJECT
private slots:
    void frames_data()
    {
        QTest::addColumn<quint8>("key");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("PLAY") << quint8(0x67) << QByteArray::fromHex("4D056798AC21");
        QTest::newRow("STOP") << quint8(0xA7) << QByteArray::fromHex("4D05A758AC21");
        QTest::newRow("PAUSE") << quint8(0x27) << QByteArray::fromHex("4D0527D8AC21");
        QTest::newRow("1") << quint8(0x7B) << QByteArray::fromHex("4D057B84AC21");
        QTest::newRow("VOL-") << quint8(0xF3) << QByteArray::fromHex("4D05F30CAC21");
        QTest::newRow("MUTE") << quint8(0x0B) << QByteArray::fromHex("4D050BF4AC21");
    }

    void frames()
    {
        QFETCH(quint8, key);
        QFETCH(QByteArray, frame);
        QCOMPARE(CreativeIrDevice::frame(key), frame);
    }

    void sendsFramesCyclingThroughKeys()
    {
        DeviceRig<CreativeIrDevice> rig;
        rig.device.setFrameInterval(10ms);
        PeerTerminal &peer = rig.run();
        const auto &keys = CreativeIrDevice::keys();
        const qsizetype frames = qsizetype(keys.size()) + 2;
        QVERIFY(peer.waitForSize(6 * frames));
        for (qsizetype i = 0; i < frames; ++i) {
            const QByteArray frame = peer.buffer().mid(6 * i, 6);
            QCOMPARE(frame.left(2), QByteArray("\x4D\x05"));
            QCOMPARE(quint8(frame[2]), keys[size_t(i) % keys.size()]);
            QCOMPARE(quint8(frame[3]), quint8(~frame[2]));
            QCOMPARE(frame.right(2), QByteArray("\xAC\x21"));
        }
    }
};

QTEST_GUILESS_MAIN(CreativeIrTest)
#include "tst_creativeir.moc"
