#include "app/frmMain.h"
#include "monitor/TickCounter.h"
#include "port/ModZemoPorts.h"
#include "port/ModemLineHook.h"
#include "support/LineHistory.h"
#include "support/MessageRecorder.h"
#include "support/SimulatedPorts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <asm/termbits.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

using win32::testhook::LineEvent;

namespace {

struct termios2 DeviceSettings(const PtyPair& device)
{
    struct termios2 t {};
    ioctl(device.masterFd(), TCGETS2, &t);
    return t;
}

bool SettingsUsable(const frmMain& w)
{
    for (QWidget* list : {w.SpeedListBox, w.BitsListBox, w.ParityListBox, w.StopListBox, w.HandshakeListBox,
                          w.ComPortListBox, w.ITypeListBox})
        if (!list->isEnabled())
            return false;
    return true;
}

void ExpectIdle(const frmMain& w)
{
    QVERIFY(!w.PortIsOpen);
    QVERIFY(!w.Timer1->isActive());
    QVERIFY(w.COMInitButton->text().startsWith(QStringLiteral("Init")));
    QVERIFY(SettingsUsable(w));
    QVERIFY(!w.SendButton->isEnabled());
}

}

class tst_connect : public QObject {
    Q_OBJECT

private slots:
    void genericConnectAndDisconnect()
    {
        SimulatedPorts ports;
        PtyPair& device = ports.add(1);
        MessageRecorder messages;
        frmMain w;
        w.show();
        w.SpeedListBox->setCurrentIndex(6);
        w.BitsListBox->setCurrentIndex(2);
        w.ParityListBox->setCurrentIndex(2);
        w.StopListBox->setCurrentIndex(2);
        w.HandshakeListBox->setCurrentIndex(0);
        modZEMO::SetMsCount(5000);

        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QVERIFY(w.PortIsOpen);
        QCOMPARE(w.COMInitButton->text(), QStringLiteral("Disc."));
        QVERIFY(w.Timer1->isActive());
        QVERIFY(modZEMO::MsCount() < 100);
        QVERIFY(messages.messages().isEmpty());

        const auto t = DeviceSettings(device);
        QCOMPARE(device.slaveBitRate(), 9600u);
        QVERIFY(t.c_cflag & CSTOPB);
        QVERIFY(!(t.c_cflag & CRTSCTS));
        QVERIFY(!(t.c_iflag & (IXON | IXOFF)));
        // A pseudo-terminal forces 8 bits without parity; the record set shows what was asked.
        win32::DCB dcb{};
        QVERIFY(win32::GetCommState(modZEMO::hCom, &dcb));
        QCOMPARE(int(dcb.ByteSize), 7);
        QCOMPARE(int(dcb.Parity), int(win32::EVENPARITY));
        QCOMPARE(int(dcb.StopBits), int(win32::TWOSTOPBITS));
        QCOMPARE(dcb.flags, win32::fBinary);
        // RTS then DTR raised after the settings, then again by ticking DTRv and RTSv.
        QCOMPARE(LineChanges("COM1").mid(LineChanges("COM1").size() - 4), (QList<LineChange>{
                                    {LineEvent::Rts, true}, {LineEvent::Dtr, true},
                                    {LineEvent::Dtr, true}, {LineEvent::Rts, true}}));
        QCOMPARE(w.DTRv->checkState(), Qt::Checked);
        QCOMPARE(w.RTSv->checkState(), Qt::Checked);
        QVERIFY(w.DTRv->isEnabled() && w.RTSv->isEnabled());
        for (QWidget* locked : {w.SpeedListBox, w.BitsListBox, w.ParityListBox, w.StopListBox, w.HandshakeListBox,
                                w.ComPortListBox, w.ITypeListBox})
            QVERIFY2(!locked->isEnabled(), qPrintable(locked->objectName()));
        QVERIFY(w.SendData->isEnabled());
        QVERIFY(w.SendButton->isEnabled());
        QCOMPARE(w.focusWidget(), w.SendData);

        win32::testhook::ClearLineHistory("COM1");
        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QCOMPARE(LineChanges("COM1"), (QList<LineChange>{
                                    {LineEvent::Dtr, false}, {LineEvent::Rts, false}, {LineEvent::Closed, false}}));
        ExpectIdle(w);
        QCOMPARE(w.COMInitButton->text(), QStringLiteral("Init."));
        QVERIFY(!w.SendData->isEnabled());
        QVERIFY(!w.DTRv->isEnabled() && !w.RTSv->isEnabled());

        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QVERIFY(w.PortIsOpen);
        QVERIFY(messages.messages().isEmpty());
    }

    void handshakeEntries_data()
    {
        QTest::addColumn<int>("handshake");
        QTest::addColumn<bool>("rtscts");
        QTest::addColumn<bool>("xonxoff");
        QTest::newRow("None") << 0 << false << false;
        QTest::newRow("XON/XOFF") << 1 << false << true;
        QTest::newRow("Hardware") << 2 << true << false;
    }
    void handshakeEntries()
    {
        QFETCH(int, handshake);
        QFETCH(bool, rtscts);
        QFETCH(bool, xonxoff);
        SimulatedPorts ports;
        PtyPair& device = ports.add(1);
        MessageRecorder messages;
        frmMain w;
        w.HandshakeListBox->setCurrentIndex(handshake);
        w.COMInitButton_Click();
        QVERIFY(w.PortIsOpen);
        const auto t = DeviceSettings(device);
        QCOMPARE(bool(t.c_cflag & CRTSCTS), rtscts);
        QCOMPARE(bool(t.c_iflag & IXON), xonxoff);
        QCOMPARE(bool(t.c_iflag & IXOFF), xonxoff);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::newRow("no port") << "no port";
        QTest::newRow("held by another program") << "busy";
        QTest::newRow("driver refuses the setting") << "refused";
    }
    void failures()
    {
        QFETCH(QString, cause);
        SimulatedPorts ports;
        std::optional<std::reference_wrapper<PtyPair>> device;
        if (cause != "no port")
            device = ports.add(1);
        MessageRecorder messages;
        frmMain w;
        int holder = -1;
        if (cause == "busy") {
            holder = ::open(qPrintable(device->get().slavePath()), O_RDWR | O_NOCTTY | O_NONBLOCK);
            QVERIFY(holder >= 0);
            QCOMPARE(::flock(holder, LOCK_EX | LOCK_NB), 0);
        }
        if (cause == "refused") {
            w.BitsListBox->setCurrentIndex(2);
            w.StopListBox->setCurrentIndex(1);
            w.BitsListBox->setCurrentIndex(3);
        }

        w.COMInitButton_Click();
        QCOMPARE(messages.texts(), QStringList{"Error initializing COM port."});
        QCOMPARE(messages.messages().first().style, 16);
        QCOMPARE(messages.messages().first().title, QStringLiteral("Brackwell"));
        ExpectIdle(w);
        QCOMPARE(w.COMInitButton->text(), QStringLiteral("Init"));

        // Once the cause is gone the next Init connects: the port was closed again.
        messages.clear();
        if (cause == "no port")
            return;
        if (cause == "busy")
            ::close(holder);
        if (cause == "refused")
            w.StopListBox->setCurrentIndex(0);
        w.COMInitButton_Click();
        QVERIFY(w.PortIsOpen);
        QVERIFY(messages.messages().isEmpty());
    }

    void stopBitsRule_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("stop");
        QTest::addColumn<bool>("refused");
        QTest::newRow("1.5 with 8") << 3 << 1 << true;
        QTest::newRow("1.5 with 7") << 2 << 1 << false;
        QTest::newRow("1.5 with 6") << 1 << 1 << false;
        QTest::newRow("1.5 with 5") << 0 << 1 << false;
        QTest::newRow("2 with 8") << 3 << 2 << false;
    }
    void stopBitsRule()
    {
        QFETCH(int, bits);
        QFETCH(int, stop);
        QFETCH(bool, refused);
        SimulatedPorts ports;
        MessageRecorder messages;
        frmMain w;
        w.BitsListBox->setCurrentIndex(bits);
        w.StopListBox->setCurrentIndex(stop);
        QCOMPARE(messages.texts(), refused ? QStringList{"invalid value for 8 bits data"} : QStringList{});
        if (refused)
            QCOMPARE(messages.messages().first().style, 16);
        QCOMPARE(w.StopListBox->currentIndex(), refused ? 0 : stop);
    }

    void eightBitsAfterOneAndAHalfIsSilent()
    {
        SimulatedPorts ports;
        MessageRecorder messages;
        frmMain w;
        w.BitsListBox->setCurrentIndex(2);
        w.StopListBox->setCurrentIndex(1);
        w.BitsListBox->setCurrentIndex(3);
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(w.StopListBox->currentText(), QStringLiteral("1.5"));
    }

    void interfaceArrangement_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("settings");
        QTest::addColumn<bool>("second");
        QTest::addColumn<bool>("com2Label");
        QTest::addColumn<bool>("portLabels");
        QTest::addColumn<QString>("speed");
        QTest::newRow("Generic") << 5 << 0 << true << false << false << false << "115200";
        QTest::newRow("IRMan") << 0 << 1 << false << false << false << false << "9600";
        QTest::newRow("Creative Infra") << 0 << 2 << false << false << false << false << "9600";
        QTest::newRow("CM12(X10)") << 0 << 3 << false << false << false << false << "9600";
        QTest::newRow("GSM Data") << 0 << 4 << false << false << false << false << "9600";
        QTest::newRow("Transparent") << 0 << 5 << true << true << true << true << "115200";
        QTest::newRow("Transparent to IRMan") << 5 << 1 << false << false << true << true << "115200";
    }
    void interfaceArrangement()
    {
        QFETCH(int, from);
        QFETCH(int, type);
        QFETCH(bool, settings);
        QFETCH(bool, second);
        QFETCH(bool, com2Label);
        QFETCH(bool, portLabels);
        QFETCH(QString, speed);
        SimulatedPorts ports;
        frmMain w;
        w.ITypeListBox->setCurrentIndex(from);
        w.ITypeListBox->setCurrentIndex(type);
        QCOMPARE(w.SelectedInterface, int16_t(type));
        for (QWidget* list : {w.SpeedListBox, w.BitsListBox, w.ParityListBox, w.StopListBox, w.HandshakeListBox})
            QCOMPARE(list->isEnabled(), settings);
        QCOMPARE(w.AltComListBox->isEnabled(), second);
        QCOMPARE(w.Com2Label->isEnabled(), com2Label);
        QCOMPARE(!w.Out1Label->isHidden(), portLabels);
        QCOMPARE(!w.Out2Label->isHidden(), portLabels);
        QCOMPARE(w.SpeedListBox->currentText(), speed);
    }

    void indicators_data()
    {
        QTest::addColumn<uint>("status");
        QTest::addColumn<QString>("label8");
        QTest::addColumn<QString>("ctsDsrRiDcd");
        QTest::newRow("CTS and DSR") << 0x30u << " 48" << "1100";
        QTest::newRow("CTS, DSR and DCD") << 0xB0u << " 176" << "1101";
        QTest::newRow("ring") << 0x40u << " 64" << "0010";
        QTest::newRow("nothing") << 0x00u << " 0" << "0000";
    }
    void indicators()
    {
        QFETCH(uint, status);
        QFETCH(QString, label8);
        QFETCH(QString, ctsDsrRiDcd);
        SimulatedPorts ports;
        ports.add(1);
        MessageRecorder messages;
        frmMain w;
        w.COMInitButton_Click();
        win32::testhook::SetInputLines("COM1", status);
        QTRY_COMPARE(w.Label8->text(), label8);
        QCOMPARE(w.CTSv->text() + w.DSRv->text() + w.RIv->text() + w.DCDv->text(), ctsDsrRiDcd);

        w.COMInitButton_Click();
        QCOMPARE(w.CTSv->text() + w.DSRv->text() + w.RIv->text() + w.DCDv->text(), QString());
        QCOMPARE(w.Label8->text(), label8);
    }

    void userDrivesTheLines()
    {
        SimulatedPorts ports;
        ports.add(1);
        MessageRecorder messages;
        frmMain w;
        w.show();
        w.COMInitButton_Click();
        win32::testhook::ClearLineHistory("COM1");
        QTest::mouseClick(w.DTRv, Qt::LeftButton);
        QTest::mouseClick(w.RTSv, Qt::LeftButton);
        QTest::mouseClick(w.DTRv, Qt::LeftButton);
        QCOMPARE(LineChanges("COM1"), (QList<LineChange>{
                                    {LineEvent::Dtr, false}, {LineEvent::Rts, false}, {LineEvent::Dtr, true}}));
    }
};

QTEST_MAIN(tst_connect)
#include "tst_connect.moc"
