#include "app/frmMain.h"
#include "monitor/TickCounter.h"
#include "port/ModZemoPorts.h"
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

QList<QWidget*> SettingLists(const frmMain& w)
{
    return {w.SpeedListBox, w.BitsListBox,    w.ParityListBox, w.StopListBox,
            w.HandshakeListBox, w.ComPortListBox, w.ITypeListBox};
}

void ExpectIdle(const frmMain& w)
{
    QVERIFY(!w.PortIsOpen);
    QVERIFY(!w.Timer1->isActive());
    QVERIFY(w.COMInitButton->text().startsWith(QStringLiteral("Init")));
    for (QWidget* list : SettingLists(w))
        QVERIFY2(list->isEnabled(), qPrintable(list->objectName()));
    QVERIFY(!w.SendButton->isEnabled());
}

}

class tst_connect : public QObject {
    Q_OBJECT

private slots:
    // Generic with the list entries chosen (-1: as the window starts), then
    // the user drives the lines, disconnects and connects again.
    void connectAndDisconnect_data()
    {
        QTest::addColumn<QList<int>>("entries"); // speed, bits, parity, stop, handshake
        QTest::addColumn<uint>("rate");
        QTest::addColumn<QList<int>>("record"); // ByteSize, Parity, StopBits as set
        QTest::addColumn<bool>("rtsCts");
        QTest::addColumn<bool>("xonXoff");
        QTest::newRow("as the window starts: 9600 8N1") << QList<int>{-1, -1, -1, -1, -1} << 9600u
                                                         << QList<int>{8, 0, 0} << false << false;
        QTest::newRow("128000 7E2") << QList<int>{11, 2, 2, 2, 0} << 128000u << QList<int>{7, 2, 2} << false << false;
        QTest::newRow("XON/XOFF") << QList<int>{6, 3, 0, 0, 1} << 9600u << QList<int>{8, 0, 0} << false << true;
        QTest::newRow("Hardware") << QList<int>{6, 3, 0, 0, 2} << 9600u << QList<int>{8, 0, 0} << true << false;
    }
    void connectAndDisconnect()
    {
        QFETCH(QList<int>, entries);
        QFETCH(QList<int>, record);
        QFETCH(bool, rtsCts);
        QFETCH(bool, xonXoff);
        SimulatedPorts ports;
        PtyPair& device = ports.add(1);
        MessageRecorder messages;
        frmMain w;
        w.show();
        const QList<QComboBox*> lists{w.SpeedListBox, w.BitsListBox, w.ParityListBox, w.StopListBox,
                                      w.HandshakeListBox};
        for (int i = 0; i < lists.size(); ++i) {
            if (entries[i] >= 0)
                lists[i]->setCurrentIndex(entries[i]);
        }
        modZEMO::SetMsCount(5000);

        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QVERIFY(w.PortIsOpen);
        QCOMPARE(w.COMInitButton->text(), QStringLiteral("Disc."));
        QVERIFY(w.Timer1->isActive());
        QVERIFY(modZEMO::MsCount() < 100);
        QVERIFY(messages.messages().isEmpty());
        struct termios2 t {};
        QCOMPARE(ioctl(device.masterFd(), TCGETS2, &t), 0);
        QTEST(device.slaveBitRate(), "rate");
        QCOMPARE(bool(t.c_cflag & CSTOPB), record[2] != 0);
        QCOMPARE(bool(t.c_cflag & CRTSCTS), rtsCts);
        QCOMPARE(bool(t.c_iflag & IXON), xonXoff);
        QCOMPARE(bool(t.c_iflag & IXOFF), xonXoff);
        // A pseudo-terminal forces 8 bits without parity; the record set shows what was asked.
        win32::DCB dcb{};
        QVERIFY(win32::GetCommState(modZEMO::hCom, &dcb));
        QCOMPARE((QList<int>{dcb.ByteSize, dcb.Parity, dcb.StopBits}), record);
        // The settings drop DTR (and RTS unless it does the handshake); then
        // RTS and DTR are raised, and again by ticking DTRv and RTSv.
        QCOMPARE(LineChanges("COM1"), (QList<LineChange>{{LineEvent::Dtr, false}, {LineEvent::Rts, rtsCts},
                                                          {LineEvent::Rts, true}, {LineEvent::Dtr, true},
                                                          {LineEvent::Dtr, true}, {LineEvent::Rts, true}}));
        QVERIFY(w.DTRv->isChecked() && w.DTRv->isEnabled() && w.RTSv->isChecked() && w.RTSv->isEnabled());
        for (QWidget* list : SettingLists(w))
            QVERIFY2(!list->isEnabled(), qPrintable(list->objectName()));
        QVERIFY(w.SendData->isEnabled() && w.SendButton->isEnabled());
        QCOMPARE(w.focusWidget(), w.SendData);

        win32::testhook::ClearLineHistory("COM1");
        for (QCheckBox* box : {w.RTSv, w.RTSv, w.DTRv, w.DTRv})
            QTest::mouseClick(box, Qt::LeftButton);
        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QCOMPARE(LineChanges("COM1"), (QList<LineChange>{{LineEvent::Rts, false}, {LineEvent::Rts, true},
                                                          {LineEvent::Dtr, false}, {LineEvent::Dtr, true},
                                                          {LineEvent::Dtr, false}, {LineEvent::Rts, false},
                                                          {LineEvent::Closed, false}}));
        ExpectIdle(w);
        QCOMPARE(w.COMInitButton->text(), QStringLiteral("Init."));
        QVERIFY(!w.SendData->isEnabled() && !w.DTRv->isEnabled() && !w.RTSv->isEnabled());

        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QVERIFY(w.PortIsOpen);
        QVERIFY(messages.messages().isEmpty());
    }

    void failures_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::newRow("no port") << "no port";
        QTest::newRow("held by another program") << "busy";
        // 1.5 stop bits chosen with 7 data bits, then 8 data bits: no word, but the driver refuses.
        QTest::newRow("driver refuses the setting") << "refused";
    }
    void failures()
    {
        QFETCH(QString, cause);
        SimulatedPorts ports;
        if (cause != "no port")
            ports.add(1);
        MessageRecorder messages;
        frmMain w;
        int holder = -1;
        if (cause == "busy") {
            holder = ::open(qPrintable(ports.device(1).slavePath()), O_RDWR | O_NOCTTY | O_NONBLOCK);
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
        if (cause == "no port")
            return;
        messages.clear();
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
        SimulatedPorts ports;
        frmMain w;
        w.ITypeListBox->setCurrentIndex(from);
        w.ITypeListBox->setCurrentIndex(type);
        QCOMPARE(w.SelectedInterface, int16_t(type));
        for (QWidget* list : SettingLists(w).mid(0, 5))
            QCOMPARE(list->isEnabled(), settings);
        QTEST(w.AltComListBox->isEnabled(), "second");
        QTEST(w.Com2Label->isEnabled(), "com2Label");
        QTEST(!w.Out1Label->isHidden() && !w.Out2Label->isHidden(), "portLabels");
        QTEST(w.SpeedListBox->currentText(), "speed");
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
        SimulatedPorts ports;
        ports.add(1);
        MessageRecorder messages;
        frmMain w;
        w.COMInitButton_Click();
        win32::testhook::SetInputLines("COM1", status);
        QTRY_COMPARE(w.Label8->text(), label8);
        QTEST(w.CTSv->text() + w.DSRv->text() + w.RIv->text() + w.DCDv->text(), "ctsDsrRiDcd");

        w.COMInitButton_Click();
        QCOMPARE(w.CTSv->text() + w.DSRv->text() + w.RIv->text() + w.DCDv->text(), QString());
        QCOMPARE(w.Label8->text(), label8);
    }
};

QTEST_MAIN(tst_connect)
#include "tst_connect.moc"
