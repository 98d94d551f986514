#include "PeerTerminal.h"
#include "SequenceStream.h"
#include "TalkerDevice.h"

#include <QTest>

#include <thread>

using devsim::TalkerDevice;

class TalkerTest : public QObject
{
    Q_OBJECT
private slots:
    void sendsNumberedLines()
    {
        DeviceRig<TalkerDevice> rig(QStringLiteral("COM1"));
        rig.device.setLineInterval(30ms);
        PeerTerminal &peer = rig.run();
        QVERIFY(peer.waitFor("#3\r\n"));
        QVERIFY(peer.buffer().startsWith("Hello from COM1 #1\r\nHello from COM1 #2\r\nHello from COM1 #3\r\n"));
    }

    void echoesEveryByte()
    {
        DeviceRig<TalkerDevice> rig(QStringLiteral("COM1"));
        rig.device.setLineInterval(1h);
        PeerTerminal &peer = rig.run();
        const QByteArray bytes("x\0y\r\n\xff\x7f", 7);
        QVERIFY(peer.send(bytes.left(3)));
        QVERIFY(peer.send(bytes.mid(3)));
        QVERIFY(peer.waitForSize(bytes.size()));
        QCOMPARE(peer.buffer(), bytes);
        QTRY_COMPARE(rig.device.received().bytes(), bytes);
        const auto chunks = rig.device.received().chunks();
        for (size_t i = 1; i < chunks.size(); ++i)
            QVERIFY(chunks[i - 1].at <= chunks[i].at);
    }

    void injectedBytesAreSent()
    {
        DeviceRig<TalkerDevice> rig(QStringLiteral("COM1"));
        rig.device.setLineInterval(1h);
        PeerTerminal &peer = rig.run();
        rig.device.inject("RING\r\n");
        QVERIFY(peer.waitFor("RING\r\n"));
        QTRY_COMPARE(rig.device.sent().bytes(), QByteArray("RING\r\n"));
    }

    // A reader that falls behind gets the whole stream late, in order.
    void streamSurvivesASlowReader()
    {
        DeviceRig<TalkerDevice> rig(QStringLiteral("COM1"));
        rig.device.setStreamRate(400000);
        PeerTerminal &peer = rig.run();
        std::this_thread::sleep_for(300ms);
        devsim::SequenceChecker checker(TalkerDevice::StreamTag);
        peer.collect(500ms);
        checker.feed(peer.takeAll());
        QCOMPARE(checker.faults(), 0u);
        QVERIFY(checker.goodLines() > 2000);
        QVERIFY(rig.device.streamedBytes() >= checker.bytes());
    }
};

QTEST_GUILESS_MAIN(TalkerTest)
#include "tst_talker.moc"
