#include "devsim/IrmanDevice.h"
#include "support/HostedDevice.h"

#include <QTest>

#include <thread>

using namespace std::chrono_literals;
using devsim::IrmanDevice;

class tst_irman : public QObject {
    Q_OBJECT

private slots:
    void silentUntilHandshake()
    {
        HostedDevice<IrmanDevice> irman;
        irman->SetCodeInterval(20ms);
        irman.run();
        QVERIFY(irman.pty().send("RIX"));
        QCOMPARE(irman.pty().receive(1, 200), QByteArray());
    }

    void answersOkThenSendsCodes()
    {
        HostedDevice<IrmanDevice> irman;
        irman->SetCodeInterval(20ms);
        irman.run();
        QVERIFY(irman.pty().send("I"));
        std::this_thread::sleep_for(50ms);
        QVERIFY(irman.pty().send("R"));
        const QByteArray got = irman.pty().receive(2 + 3 * 6);
        QCOMPARE(got.left(2), QByteArray("OK"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(got.mid(2 + 6 * i, 6), IrmanDevice::KeyCodes()[i]);
    }

    void slowRIsNoHandshake()
    {
        HostedDevice<IrmanDevice> irman;
        irman->SetHandshakeGap(100ms);
        irman.run();
        QVERIFY(irman.pty().send("I"));
        std::this_thread::sleep_for(250ms);
        QVERIFY(irman.pty().send("R"));
        QCOMPARE(irman.pty().receive(1, 200), QByteArray());
        QCOMPARE(irman->Handshakes(), 0);
    }

    void handshakeAgainResets()
    {
        HostedDevice<IrmanDevice> irman;
        irman->SetCodeInterval(20ms);
        irman.run();
        QVERIFY(irman.pty().send("IR"));
        QVERIFY(irman.pty().receive(2 + 2 * 6).size() >= 2 + 2 * 6);
        QVERIFY(irman.pty().send("IR"));
        QTRY_COMPARE(irman->Handshakes(), 2);
        irman.pty().receive(1, 50);
        irman.pty().receiveAvailable();
        const QByteArray code = irman.pty().receive(6).left(6);
        const auto& codes = IrmanDevice::KeyCodes();
        QVERIFY(std::find(codes.begin(), codes.end(), code) != codes.end());
    }
};

QTEST_GUILESS_MAIN(tst_irman)
#include "tst_irman.moc"
