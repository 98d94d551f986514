#include "app/frmMain.h"
#include "monitor/ReceiveView.h"
#include "port/ModZemoPorts.h"
#include "support/Loopback.h"
#include "support/MessageRecorder.h"
#include "support/Ser2net.h"
#include "support/SimulatedPorts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace {

QByteArray EveryByte()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    return all;
}

// A serial port behind a real ser2net: the test plays the device on the
// other end of the pseudo-terminal that ser2net serves.
struct RemoteRig {
    PtyPair device;
    Ser2net server{device.slavePath()};
    SimulatedPorts ports;
    MessageRecorder messages;
};

}

class tst_RemotePorts : public QObject {
    Q_OBJECT

private slots:
    void everyByteBothWays_data()
    {
        QTest::addColumn<bool>("raw");
        QTest::addColumn<bool>("transparent");
        QTest::newRow("rfc2217, Generic") << false << false;
        QTest::newRow("rfc2217, Transparent with a local port") << false << true;
        QTest::newRow("tcp, Generic") << true << false;
        QTest::newRow("tcp, Transparent with a local port") << true << true;
    }

    void everyByteBothWays()
    {
        QFETCH(bool, raw);
        QFETCH(bool, transparent);
        RemoteRig rig;
        QVERIFY(rig.server.start());
        QVERIFY(rig.ports.link(1, raw ? rig.server.tcpUrl() : rig.server.rfc2217Url()));
        PtyPair& local = rig.ports.add(2);
        frmMain w;
        w.show();
        if (transparent) {
            w.ITypeListBox->setCurrentIndex(frmMain::Transparent);
            w.AltComListBox->setCurrentIndex(0);
        }
        w.COMInitButton_Click();
        QVERIFY(w.PortIsOpen);
        QCOMPARE(modZEMO::OpenPort(QStringLiteral("COM1")), win32::INVALID_HANDLE_VALUE); // held by the window

        QVERIFY(rig.device.send(EveryByte()));
        QByteArray relayed;
        if (transparent) {
            QTRY_COMPARE(relayed += local.receiveAvailable(), EveryByte());
            QVERIFY(local.send(EveryByte()));
        } else {
            QTRY_COMPARE(w.RXOut->Text(), EveryByte());
            w.TXDataTypeListBox->setCurrentIndex(0); // hex
            w.CRCheckbox->setChecked(false);
            w.LFCheckbox->setChecked(false);
            w.SendData->setText(QString::fromLatin1(EveryByte().toHex()));
            w.SendButton_Click();
        }
        QByteArray sent;
        QTRY_COMPARE(sent += rig.device.receiveAvailable(), EveryByte());
        QVERIFY(rig.messages.messages().isEmpty());
    }

    // What the window chooses reaches the device end of the server. A
    // pseudo-terminal keeps the rate, the stop bits and the flow control but
    // forces 8 data bits without parity: those two count as set because the
    // server confirmed them (the connect fails otherwise).
    void settingsReachTheDevice_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("parity");
        QTest::addColumn<int>("stop");
        QTest::addColumn<int>("handshake");
        QTest::newRow("57600 7E2") << 9 << 2 << 2 << 2 << 0;
        QTest::newRow("128000 8O1 RTS/CTS") << 11 << 3 << 1 << 0 << 2;
    }

    void settingsReachTheDevice()
    {
        QFETCH(int, speed);
        QFETCH(int, bits);
        QFETCH(int, parity);
        QFETCH(int, stop);
        QFETCH(int, handshake);
        RemoteRig rig;
        QVERIFY(rig.server.start());
        QVERIFY(rig.ports.link(1, rig.server.rfc2217Url()));
        frmMain w;
        w.SpeedListBox->setCurrentIndex(speed);
        w.BitsListBox->setCurrentIndex(bits);
        w.ParityListBox->setCurrentIndex(parity);
        w.StopListBox->setCurrentIndex(stop);
        w.HandshakeListBox->setCurrentIndex(handshake);
        w.COMInitButton_Click();
        QVERIFY(w.PortIsOpen);

        termios2 t{};
        QCOMPARE(ioctl(rig.device.masterFd(), TCGETS2, &t), 0);
        QCOMPARE(t.c_ospeed, w.SpeedListBox->currentText().toUInt());
        QCOMPARE(bool(t.c_cflag & CSTOPB), stop != 0);
        QCOMPARE(bool(t.c_cflag & CRTSCTS), handshake == 2);
        win32::DCB dcb{};
        QVERIFY(win32::GetCommState(modZEMO::hCom, &dcb));
        QCOMPARE(int(dcb.ByteSize), bits + 5);
        QCOMPARE(int(dcb.Parity), parity);
    }

    // ser2net stopped mid-session is a device that has gone: said once,
    // Disc. works, and Init works again once it is back.
    void serverStoppedMidSession()
    {
        RemoteRig rig;
        QVERIFY(rig.server.start());
        QVERIFY(rig.ports.link(1, rig.server.rfc2217Url()));
        frmMain w;
        w.show();
        w.COMInitButton_Click();
        QVERIFY(rig.device.send("before"));
        QTRY_COMPARE(w.RXOut->Text(), QByteArray("before"));

        rig.server.stop();
        QTRY_COMPARE(rig.messages.texts(), QStringList{QStringLiteral("The device on COM1 is not responding.")});
        w.COMInitButton_Click();
        QVERIFY(!w.PortIsOpen);
        QVERIFY(rig.server.start());
        w.COMInitButton_Click();
        QVERIFY(w.PortIsOpen);
        QVERIFY(rig.device.send("after"));
        QTRY_COMPARE(w.RXOut->Text(), QByteArray("after"));
        QCOMPARE(rig.messages.messages().size(), 1);
    }

    void openFailures_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("reason");
        const QString form = QStringLiteral(": not a remote port; write rfc2217://HOST:PORT or tcp://HOST:PORT");
        QTest::newRow("refused") << QStringLiteral("rfc2217://127.0.0.1:%1").arg(FreeTcpPort())
                                 << ": connection refused";
        QTest::newRow("no port number") << "rfc2217://127.0.0.1" << form;
        QTest::newRow("port number 0") << "tcp://[::1]:0" << form;
        QTest::newRow("unknown kind") << "telnet://127.0.0.1:23" << form;
    }

    void openFailures()
    {
        QFETCH(QString, url);
        QFETCH(QString, reason);
        SimulatedPorts ports;
        QVERIFY(ports.link(1, url));
        MessageRecorder messages;
        frmMain w;
        QCOMPARE(w.ComPortListBox->itemData(0, Qt::ToolTipRole).toString(), url); // listed, even when malformed
        w.COMInitButton_Click();
        QVERIFY(!w.PortIsOpen);
        QCOMPARE(messages.texts(), QStringList{"Error initializing COM port."});
        QCOMPARE(messages.messages().first().informative, url + reason);
    }
};

QTEST_MAIN(tst_RemotePorts)
#include "tst_RemotePorts.moc"
