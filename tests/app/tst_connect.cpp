#include "app/MsgBox.h"
#include "monitor/TickCounter.h"
#include "support/LineHistory.h"
#include "support/ProcessChecks.h"
#include "support/window/TestWindow.h"

using win32::testhook::LineEvent;

namespace {

const QString SendError = QStringLiteral("Error sending data to the COM port");
const QString Gone = QStringLiteral("The device on COM%1 is not responding.");

// The line settings; with all, also the port and interface type: the lists locked while connected.
QList<QComboBox*> SettingLists(const frmMain& w, bool all = false)
{
    QList<QComboBox*> lists{w.SpeedListBox, w.BitsListBox, w.ParityListBox, w.StopListBox, w.HandshakeListBox};
    return all ? lists << w.ComPortListBox << w.ITypeListBox : lists;
}

void ExpectIdle(const frmMain& w)
{
    QVERIFY(!w.PortIsOpen && !w.Timer1->isActive());
    QVERIFY(!w.SendButton->isEnabled() && !w.SendData->isEnabled() && !w.DTRv->isEnabled() && !w.RTSv->isEnabled());
    for (QWidget* list : SettingLists(w, true))
        QVERIFY2(list->isEnabled(), qPrintable(list->objectName()));
}

}

class tst_connect : public QObject {
    Q_OBJECT

private slots:
    // Generic with the list entries chosen; the device sets its lines (each
    // lights its own indicator), the user drives ours and disconnects, which
    // blanks the indicators and keeps the status.
    void connectAndDisconnect_data()
    {
        QTest::addColumn<QList<int>>("entries"); // speed, bits, parity, stop, handshake; -1: as the window starts
        QTest::addColumn<uint>("rate");
        QTest::addColumn<QList<int>>("record"); // ByteSize, Parity, StopBits, CTS flow, XON out, XON in as set
        QTest::addColumn<uint>("status"); // the device's lines
        QTest::addColumn<QString>("ctsDsrRiDcd");
        QTest::newRow("as the window starts: 9600 8N1") << QList<int>{-1, -1, -1, -1, -1} << 9600u
                                                         << QList<int>{8, 0, 0, 0, 0, 0} << 0xB0u << "1101";
        QTest::newRow("128000 7E2") << QList<int>{11, 2, 2, 2, 0} << 128000u << QList<int>{7, 2, 2, 0, 0, 0} << 0x40u
                                    << "0010";
        QTest::newRow("XON/XOFF") << QList<int>{6, 3, 0, 0, 1} << 9600u << QList<int>{8, 0, 0, 0, 1, 1} << 0x10u << "1000";
        QTest::newRow("Hardware, 2 stop bits") << QList<int>{6, 3, 0, 2, 2} << 9600u << QList<int>{8, 0, 2, 1, 0, 0} << 0u
                                               << "0000";
    }
    void connectAndDisconnect()
    {
        QFETCH(QList<int>, entries);
        QFETCH(QList<int>, record);
        QFETCH(uint, status);
        TestWindow w({1});
        w.show();
        for (int i = 0; i < entries.size(); ++i) {
            if (entries[i] >= 0)
                SettingLists(w)[i]->setCurrentIndex(entries[i]);
        }
        modZEMO::SetMsCount(5000);

        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QVERIFY(w.PortIsOpen && w.Timer1->isActive());
        QCOMPARE(w.COMInitButton->text(), QStringLiteral("Disc."));
        QVERIFY(modZEMO::MsCount() < 100);
        QTEST(w.ports.device(1).slaveBitRate(), "rate");
        // A pseudo-terminal forces 8 bits without parity; the record set shows what was asked.
        win32::DCB dcb{};
        QVERIFY(win32::GetCommState(modZEMO::hCom, &dcb));
        const auto has = [&dcb](win32::DWORD flag) { return int(bool(dcb.flags & flag)); };
        QCOMPARE((QList<int>{dcb.ByteSize, dcb.Parity, dcb.StopBits, has(win32::fOutxCtsFlow), has(win32::fOutX),
                             has(win32::fInX)}),
                 record);
        // The settings drop DTR (and RTS unless it does the handshake); then
        // RTS and DTR are raised, and again by ticking DTRv and RTSv.
        const bool rtsCts = record[3];
        QCOMPARE(LineChanges("COM1"), (QList<LineChange>{{LineEvent::Dtr, false}, {LineEvent::Rts, rtsCts},
                                                          {LineEvent::Rts, true}, {LineEvent::Dtr, true},
                                                          {LineEvent::Dtr, true}, {LineEvent::Rts, true}}));
        QVERIFY(w.DTRv->isChecked() && w.DTRv->isEnabled() && w.RTSv->isChecked() && w.RTSv->isEnabled());
        for (QWidget* list : SettingLists(w, true))
            QVERIFY2(!list->isEnabled(), qPrintable(list->objectName()));
        QVERIFY(w.SendData->isEnabled() && w.SendButton->isEnabled());
        QCOMPARE(w.focusWidget(), w.SendData);
        // A pasted text of any length is taken whole (a line edit's own limit is 32767).
        w.SendData->setText(QString(100'000, u'x'));
        QCOMPARE(w.SendData->text().size(), 100'000);
        const auto indicators = [&w] { return w.CTSv->text() + w.DSRv->text() + w.RIv->text() + w.DCDv->text(); };
        win32::testhook::SetInputLines("COM1", status);
        QTRY_COMPARE(w.Label8->text(), QStringLiteral(" %1").arg(status));
        QTEST(indicators(), "ctsDsrRiDcd");

        win32::testhook::ClearLineHistory("COM1");
        for (QCheckBox* box : {w.RTSv, w.RTSv, w.DTRv, w.DTRv})
            QTest::mouseClick(box, Qt::LeftButton);
        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QCOMPARE(LineChanges("COM1"), (QList<LineChange>{{LineEvent::Rts, false}, {LineEvent::Rts, true},
                                                          {LineEvent::Dtr, false}, {LineEvent::Dtr, true},
                                                          {LineEvent::Dtr, false}, {LineEvent::Rts, false},
                                                          {LineEvent::Closed, false}}));
        ExpectIdle(w);
        QCOMPARE(indicators(), QString());
        QCOMPARE(w.Label8->text(), QStringLiteral(" %1").arg(status));
        QCOMPARE(w.COMInitButton->text(), QStringLiteral("Init."));
        QVERIFY(w.messages.messages().isEmpty());
    }

    // Each way Init can fail leaves nothing open, and File > Exit stops a
    // poll the failure started.
    void initFails_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<bool>("polling");
        const QStringList error{"Error initializing COM port."};
        QTest::newRow("no port") << "no port" << int(frmMain::Generic) << error << false;
        QTest::newRow("driver refuses the setting") << "refused" << int(frmMain::Generic)
                                                    << (QStringList{"invalid value for 8 bits data"} + error) << false;
        QTest::newRow("busy: Generic") << "busy" << int(frmMain::Generic) << error << false;
        // Three device profiles start the poll even after a failure, as written.
        QTest::newRow("busy: IRMan") << "busy" << int(frmMain::IRMan) << QStringList{} << true;
        QTest::newRow("busy: Creative Infra") << "busy" << int(frmMain::CreativeInfra) << QStringList{} << true;
        QTest::newRow("busy: CM12(X10)") << "busy" << int(frmMain::CM12X10) << QStringList{} << true;
        QTest::newRow("busy: GSM Data") << "busy" << int(frmMain::GSMData) << QStringList{} << false;
        QTest::newRow("busy: Transparent") << "busy" << int(frmMain::Transparent) << error << false;
    }
    void initFails()
    {
        QFETCH(QString, cause);
        QFETCH(int, type);
        QFETCH(QStringList, said);
        const bool noPort = cause == "no port";
        TestWindow w(noPort ? QList<int>{} : QList<int>{1, 2});
        w.show();
        const pid_t holder = cause == "busy" ? HoldInAnotherProcess(QStringLiteral("COM1")) : 0;
        QVERIFY(holder >= 0);
        if (cause == "refused") {
            // 1.5 stop bits are refused with 8 data bits; chosen with 7 data
            // bits, then 8 data bits, no word, but the driver refuses.
            w.StopListBox->setCurrentIndex(1);
            QCOMPARE(w.StopListBox->currentIndex(), 0);
            w.BitsListBox->setCurrentIndex(2);
            w.StopListBox->setCurrentIndex(1);
            w.BitsListBox->setCurrentIndex(3);
        }
        ChooseInterface(w, type);
        w.COMInitButton_Click();
        if (holder > 0)
            Release(holder);
        QVERIFY(!w.PortIsOpen);
        QCOMPARE(w.messages.texts(), said);
        if (!said.isEmpty()) {
            const MessageRecorder::Message& shown = w.messages.messages().last();
            QCOMPARE(shown.style, int(modZEMO::MsgCritical));
            QCOMPARE(shown.title, QStringLiteral("Brackwell"));
            if (holder > 0)
                QCOMPARE(shown.informative, w.ports.device(1).slavePath() + QStringLiteral(": in use by another program"));
            ExpectIdle(w);
            QCOMPARE(w.COMInitButton->text(), QStringLiteral("Init"));
        }
        QTEST(w.Timer1->isActive(), "polling");
        w.FileExitMenu->trigger();
        QVERIFY(!w.Timer1->isActive());
        QCOMPARE(win32::testhook::StrayCloses(), 0);
        QVERIFY(noPort || (PortIsFree("COM1") && PortIsFree("COM2")));
    }

    void interfaceArrangement_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("settings");
        QTest::addColumn<bool>("second"); // the second port's list, its caption and the port labels
        QTest::addColumn<QString>("speed");
        QTest::newRow("Generic") << 5 << 0 << true << false << "115200";
        QTest::newRow("IRMan") << 0 << 1 << false << false << "9600";
        QTest::newRow("Creative Infra") << 0 << 2 << false << false << "9600";
        QTest::newRow("CM12(X10)") << 0 << 3 << false << false << "9600";
        QTest::newRow("GSM Data") << 0 << 4 << false << false << "9600";
        QTest::newRow("Transparent") << 0 << 5 << true << true << "115200";
    }
    void interfaceArrangement()
    {
        QFETCH(int, from);
        QFETCH(int, type);
        QFETCH(bool, settings);
        QFETCH(bool, second);
        TestWindow w;
        w.ITypeListBox->setCurrentIndex(from);
        w.ITypeListBox->setCurrentIndex(type);
        for (QWidget* list : SettingLists(w))
            QCOMPARE(list->isEnabled(), settings);
        QCOMPARE(w.AltComListBox->isEnabled() && w.Com2Label->isEnabled(), second);
        QCOMPARE(!w.Out1Label->isHidden() && !w.Out2Label->isHidden(), second);
        QTEST(w.SpeedListBox->currentText(), "speed");
    }

    // A handful of cycles: bench/cycles runs a thousand of each.
    void cyclesLeaveNoDescriptorBehind_data()
    {
        QTest::addColumn<int>("type");
        for (int type = frmMain::Generic; type <= frmMain::Transparent; ++type)
            QTest::addRow("%d", type) << type;
    }
    void cyclesLeaveNoDescriptorBehind()
    {
        QFETCH(int, type);
        TestWindow w({1, 2});
        ChooseInterface(w, type);
        // One cycle first, so that what lives for the window's whole life exists.
        w.COMInitButton_Click();
        w.COMInitButton_Click();
        const qsizetype before = OpenDescriptors();
        for (int i = 0; i < 3; ++i) {
            ChooseInterface(w, type);
            w.COMInitButton_Click();
            QVERIFY(w.PortIsOpen);
            w.COMInitButton_Click();
            QVERIFY(!w.PortIsOpen);
        }
        QCOMPARE(OpenDescriptors(), before);
        QCOMPARE(win32::testhook::StrayCloses(), 0);
        QVERIFY(w.messages.messages().isEmpty());
    }

    // A device that goes away is reported once, naming its port; Disc. works
    // without further messages and Init works again once it is back.
    void unplugOnePort()
    {
        TestWindow w({1});
        PtyPair& device = w.ports.device(1);
        w.show();
        w.COMInitButton_Click();
        QVERIFY(device.send("before"));
        QTRY_COMPARE(w.RXOut->Text(), QByteArray("before"));

        device.closeMaster();
        QTRY_COMPARE(w.messages.texts(), QStringList{Gone.arg(1)});
        QCOMPARE(w.messages.messages().front().style, int(modZEMO::MsgCritical));
        QTest::qWait(100); // further ticks against the port whose device has gone
        QCOMPARE(w.messages.messages().size(), 1);
        QCOMPARE(w.CTSv->text(), QStringLiteral("0"));
        QCOMPARE(w.RXOut->Text(), QByteArray("before"));
        Send(w, "x");
        QCOMPARE(w.messages.texts(), (QStringList{Gone.arg(1), SendError}));

        w.COMInitButton_Click();
        QVERIFY(!w.PortIsOpen);
        w.ports.add(1); // the device is back
        w.COMInitButton_Click();
        QVERIFY(w.ports.device(1).send("after"));
        QTRY_COMPARE(w.RXOut->Text(), QByteArray("after"));
        QCOMPARE(w.messages.messages().size(), 2);
    }

    void unplugDuringRelay()
    {
        TestWindow w({1, 2});
        PtyPair& first = w.ports.device(1);
        PtyPair& second = w.ports.device(2);
        ChooseInterface(w, frmMain::Transparent);
        w.COMInitButton_Click();
        QVERIFY(w.TwoPortMode);
        w.Timer1->stop();

        // The first relay to the vanished port fails and says so; then the
        // loss is known and nothing more is relayed to it. All data is shown.
        second.closeMaster();
        const QByteArray data(250, 'd');
        for (int tick = 0; tick < 3; ++tick) {
            QVERIFY(first.send(data));
            QVERIFY(first.waitUntilQueued(data.size()));
            w.Timer1_Timer();
        }
        QCOMPARE(w.messages.texts(), (QStringList{SendError, Gone.arg(2)}));
        QCOMPARE(w.RXOut->Text(), data.repeated(3));

        w.COMInitButton_Click();
        w.ports.add(1);
        w.ports.add(2);
        ChooseInterface(w, frmMain::Transparent);
        w.COMInitButton_Click();
        QVERIFY(w.TwoPortMode && w.PortIsOpen);
        QCOMPARE(w.messages.messages().size(), 2);
    }
};

QTEST_MAIN(tst_connect)
#include "tst_connect.moc"
