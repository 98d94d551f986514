#include "devsim/IrmanDevice.h"
#include "support/HostedDevice.h"

#include <QTest>

#include <thread>

using namespace std::chrono_literals;
using devsim::IrmanDevice;

class tst_irman : public QObject {
    Q_OBJECT

private slots:
    // Silent until "I" and then "R" within the handshake gap (100 ms here);
    // then "OK" and the codes from the first on, also after a handshake again.
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
        irman.run();
        for (const QByteArray& piece : pieces) {
            QVERIFY(irman.pty().send(piece));
            std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
        }
        if (handshakes == 0) {
            QCOMPARE(irman.pty().receive(1, 200), QByteArray());
            QCOMPARE(irman->Handshakes(), 0);
            return;
        }
        QTRY_COMPARE(irman->Handshakes(), handshakes);
        QByteArray got;
        QTRY_VERIFY((got += irman.pty().receiveAvailable()).lastIndexOf("OK") >= 0
                    && got.size() >= got.lastIndexOf("OK") + 2 + 3 * 6);
        QVERIFY(got.startsWith("OK"));
        const auto& codes = IrmanDevice::KeyCodes();
        QCOMPARE(got.mid(got.lastIndexOf("OK") + 2, 3 * 6), codes[0] + codes[1] + codes[2]);
    }
};

QTEST_GUILESS_MAIN(tst_irman)
#include "tst_irman.moc"
