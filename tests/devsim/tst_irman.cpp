#include "IrmanDevice.h"
#include "PeerTerminal.h"

#include <QTest>

#include <thread>

using devsim::IrmanDevice;

class IrmanTest : public QObject
{
    Q_OBJECT
private slots:
    void silentUntilHandshake()
    {
        DeviceRig<IrmanDevice> rig;
        rig.device.setCodeInterval(20ms);
        PeerTerminal &peer = rig.run();
        QVERIFY(peer.send("RIX"));
        peer.collect(200ms);
        QCOMPARE(peer.buffer(), QByteArray());
    }

    void answersOkThenSendsCodes()
    {
        DeviceRig<IrmanDevice> rig;
        rig.device.setCodeInterval(20ms);
        PeerTerminal &peer = rig.run();
        QVERIFY(peer.send("I"));
        std::this_thread::sleep_for(50ms);
        QVERIFY(peer.send("R"));
        QVERIFY(peer.waitForSize(2 + 3 * 6));
        const QByteArray got = peer.buffer();
        QCOMPARE(got.left(2), QByteArray("OK"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(got.mid(2 + 6 * i, 6), IrmanDevice::keyCodes()[i]);
    }

    void slowRIsNoHandshake()
    {
        DeviceRig<IrmanDevice> rig;
        rig.device.setHandshakeGap(100ms);
        PeerTerminal &peer = rig.run();
        QVERIFY(peer.send("I"));
        std::this_thread::sleep_for(250ms);
        QVERIFY(peer.send("R"));
        peer.collect(200ms);
        QCOMPARE(peer.buffer(), QByteArray());
        QCOMPARE(rig.device.handshakes(), 0);
    }

    void handshakeAgainResets()
    {
        DeviceRig<IrmanDevice> rig;
        rig.device.setCodeInterval(20ms);
        PeerTerminal &peer = rig.run();
        QVERIFY(peer.send("IR"));
        QVERIFY(peer.waitForSize(2 + 2 * 6));
        QVERIFY(peer.send("IR"));
        QTRY_COMPARE(rig.device.handshakes(), 2);
        peer.collect(50ms);
        peer.takeAll();
        QVERIFY(peer.waitForSize(6));
        QVERIFY(std::find(IrmanDevice::keyCodes().begin(), IrmanDevice::keyCodes().end(),
                          peer.buffer().left(6)) != IrmanDevice::keyCodes().end());
    }
};

QTEST_GUILESS_MAIN(IrmanTest)
#include "tst_irman.moc"
