#include "devsim/CreativeIrDevice.h"
#include "devsim/IrmanDevice.h"
#include "support/HostedDevice.h"

#include <QTest>

#include <thread>

using namespace std::chrono_literals;
using devsim::CreativeIrDevice;
using devsim::IrmanDevice;

class tst_IrReceivers : public QObject {
    Q_OBJECT

private slots:
    // Silent until "I" then "R" within the handshake gap; then "OK" and the codes from the first on.
    void handshake_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<int>("pauseMs"); // after each piece
        QTest::addColumn<int>("handshakes");
        QTest::newRow("I then R") << QList<QByteArray>{"I", "R"} << 50 << 1;
        QTest::newRow("R before I") << QList<QByteArray>{"RIX"} << 0 << 0;
        QTest::newRow("R too late") << QList<QByteArray>{"I", "R"} << 250 << 0;
        QTest::newRow("handshake again") << QList<QByteArray>{"IR", "IR"} << 100 << 2;
    }
    void handshake()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(int, pauseMs);
        QFETCH(int, handshakes);
        HostedDevice<IrmanDevice> irman;
        irman->SetCodeInterval(20ms);
        irman->SetHandshakeGap(100ms);
        irman.Run();
        for (const QByteArray& piece : pieces) {
            QVERIFY(irman.Pty().Send(piece));
            std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        }
        if (handshakes == 0) {
            QCOMPARE(irman.Pty().Receive(1, 200), QByteArray());
            return;
        }
        QTRY_COMPARE(irman->Handshakes(), handshakes);
        QByteArray got;
        QTRY_VERIFY((got += irman.Pty().ReceiveAvailable()).lastIndexOf("OK") >= 0
                    && got.size() >= got.lastIndexOf("OK") + 2 + 3 * 6);
        QVERIFY(got.startsWith("OK"));
        const auto& codes = IrmanDevice::KeyCodes();
        QCOMPARE(got.mid(got.lastIndexOf("OK") + 2, 3 * 6), codes[0] + codes[1] + codes[2]);
    }

    // Frames of the keys in turn (PLAY, STOP, ...), and round again.
    void sendsFramesCyclingThroughKeys()
    {
        HostedDevice<CreativeIrDevice> receiver;
        receiver->SetFrameInterval(10ms);
        receiver.Run();
        const auto& keys = CreativeIrDevice::Keys();
        const qsizetype frames = qsizetype(keys.size()) + 2;
        const QByteArray received = receiver.Pty().Receive(6 * frames);
        QCOMPARE(received.left(12), QByteArray::fromHex("4D056798AC21" "4D05A758AC21"));
        for (qsizetype i = 0; i < frames; ++i)
            QCOMPARE(received.mid(6 * i, 6), CreativeIrDevice::Frame(keys[size_t(i) % keys.size()]));
    }
};

QTEST_GUILESS_MAIN(tst_IrReceivers)
#include "tst_IrReceivers.moc"
