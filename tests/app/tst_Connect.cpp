#include "app/MsgBox.h"
#include "monitor/TickCounter.h"
#include "support/LineHistory.h"
#include "support/ProcessChecks.h"
#include "support/window/TestWindow.h"

using win32::testhook::LineEvent;

namespace {

const QString SendError = QStringLiteral("Error sending data to the COM port");
const QString Gone = QStringLiteral("The device on COM%1 is not responding.");

// The line settings; with all, also the port and interface type (locked while connected).
QList<QComboBox*> SettingLists(const TestWindow& w, bool all = false)
{
    QList<QComboBox*> lists;
    for (const char* name : {"SpeedListBox", "BitsListBox", "ParityListBox", "StopListBox", "HandshakeListBox"})
        lists << w.List(name);
    return all ? lists << w.List("ComPortListBox") << w.List("ITypeListBox") : lists;
}

void ExpectIdle(const TestWindow& w)
{
    QVERIFY(!Connected(w) && !w.Timer()->isActive());
    for (const char* name : {"SendButton", "SendData", "DTRv", "RTSv"})
        QVERIFY2(!w.Find<QWidget>(name)->isEnabled(), name);
    for (QWidget* list : SettingLists(w, true))
        QVERIFY2(list->isEnabled(), qPrintable(list->objectName()));
}

}

class tst_Connect : public QObject {
    Q_OBJECT

private slots:
    // The device's lines each light their indicator; Disc. blanks them and keeps the status.
    void connectAndDisconnect_data()
    {
        QTest::addColumn<QStringList>("entries"); // speed, bits, parity, stop, handshake; none: as the window starts
        QTest::addColumn<uint>("rate");
        QTest::addColumn<QList<int>>("record"); // ByteSize, Parity, StopBits, CTS flow, XON out, XON in as set
        QTest::addColumn<uint>("status"); // the device's lines
        QTest::addColumn<QString>("ctsDsrRiDcd");
        QTest::newRow("9600 8N1") << QStringList{} << 9600u << QList<int>{8, 0, 0, 0, 0, 0} << 0xB0u << "1101";
        QTest::newRow("7E2") << QStringList{"128000", "7", "Even", "2"} << 128000u << QList<int>{7, 2, 2, 0, 0, 0}
                             << 0x40u << "0010";
        QTest::newRow("XON/XOFF") << QStringList{"9600", "8", "None", "1", "XON/XOFF"} << 9600u
                                  << QList<int>{8, 0, 0, 0, 1, 1} << 0x10u << "1000";
        QTest::newRow("Hardware") << QStringList{"9600", "8", "None", "2", "Hardware"} << 9600u
                                  << QList<int>{8, 0, 2, 1, 0, 0} << 0u << "0000";
    }
    void connectAndDisconnect()
    {
        QFETCH(QStringList, entries);
        QFETCH(QList<int>, record);
        QFETCH(uint, status);
        TestWindow w({1});
        w.window.show();
        for (int i = 0; i < entries.size(); ++i)
            QVERIFY(Choose(SettingLists(w)[i], entries[i]));
        modZEMO::SetMsCount(5000);

        QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        QVERIFY(Connected(w) && w.Timer()->isActive());
        QVERIFY(modZEMO::MsCount() < 100);
        QTEST(w.ports.Device(1).SlaveBitRate(), "rate");
        win32::DCB dcb{};
        QVERIFY(win32::GetCommState(modZEMO::hCom, &dcb));
        const auto has = [&dcb](win32::DWORD flag) { return int(bool(dcb.flags & flag)); };
        QCOMPARE((QList<int>{dcb.ByteSize, dcb.Parity, dcb.StopBits, has(win32::fOutxCtsFlow), has(win32::fOutX),
                             has(win32::fInX)}),
                 record);
        // DTR dropped (RTS too unless it does the handshake), then raised, and again by DTRv and RTSv.
        QCOMPARE(LineChanges("COM1"), (QList<LineChange>{{LineEvent::Dtr, false}, {LineEvent::Rts, bool(record[3])},
                                                          {LineEvent::Rts, true}, {LineEvent::Dtr, true},
                                                          {LineEvent::Dtr, true}, {LineEvent::Rts, true}}));
        for (const char* name : {"DTRv", "RTSv"})
            QVERIFY2(w.Check(name)->isChecked() && w.Check(name)->isEnabled(), name);
        for (QWidget* list : SettingLists(w, true))
            QVERIFY2(!list->isEnabled(), qPrintable(list->objectName()));
        QVERIFY(w.Button("SendButton")->isEnabled() && w.window.focusWidget() == w.Edit("SendData"));
        w.Edit("SendData")->setText(QString(100'000, u'x')); // past a line edit's own limit

        QCOMPARE(w.Edit("SendData")->text().size(), 100'000);
        const auto indicators = [&w] {
            return w.Label("CTSv")->text() + w.Label("DSRv")->text() + w.Label("RIv")->text() + w.Label("DCDv")->text();
        };
        win32::testhook::SetInputLines("COM1", status);
        QTRY_COMPARE(w.Label("Label8")->text(), QStringLiteral(" %1").arg(status));
        QTEST(indicators(), "ctsDsrRiDcd");

        win32::testhook::ClearLineHistory("COM1");
        for (const char* name : {"RTSv", "RTSv", "DTRv", "DTRv"})
            QTest::mouseClick(w.Check(name), Qt::LeftButton);
        QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        QCOMPARE(LineChanges("COM1"), (QList<LineChange>{{LineEvent::Rts, false}, {LineEvent::Rts, true},
                                                          {LineEvent::Dtr, false}, {LineEvent::Dtr, true},
                                                          {LineEvent::Dtr, false}, {LineEvent::Rts, false},
                                                          {LineEvent::Closed, false}}));
        ExpectIdle(w);
        QCOMPARE(indicators() + w.Label("Label8")->text(), QStringLiteral(" %1").arg(status));
        QCOMPARE(w.Button("COMInitButton")->text(), QStringLiteral("Init."));
        QVERIFY(w.messages.Messages().isEmpty());
    }

    // A failed Init leaves nothing open; File > Exit stops a poll it started.
    void initFails_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<bool>("polling");
        const QStringList error{"Error initializing COM port."};
        QTest::newRow("no port") << "no port" << "Generic" << error << false;
        QTest::newRow("driver refuses the setting") << "refused" << "Generic"
                                                    << (QStringList{"invalid value for 8 bits data"} + error) << false;
        QTest::newRow("busy: Generic") << "busy" << "Generic" << error << false;
        for (const char* type : {"IRMan", "Creative Infra", "CM12(X10)"}) // these poll even after a failure
            QTest::newRow(type) << "busy" << type << QStringList{} << true;
        QTest::newRow("busy: GSM Data") << "busy" << "GSM Data" << QStringList{} << false;
        QTest::newRow("busy: Transparent") << "busy" << "Transparent" << error << false;
    }
    void initFails()
    {
        QFETCH(QString, cause);
        QFETCH(QString, type);
        const bool noPort = cause == "no port";
        TestWindow w(noPort ? QList<int>{} : QList<int>{1, 2});
        w.window.show();
        const pid_t holder = cause == "busy" ? HoldInAnotherProcess(QStringLiteral("COM1")) : 0;
        QVERIFY(holder >= 0);
        if (cause == "refused") {
            // 1.5 stop bits go with 7 data bits only; the driver refuses them with 8.
            QVERIFY(Choose(w.List("StopListBox"), "1.5") && w.List("StopListBox")->currentText() == "1");
            QVERIFY(Choose(w.List("BitsListBox"), "7") && Choose(w.List("StopListBox"), "1.5"));
            QVERIFY(Choose(w.List("BitsListBox"), "8"));
        }
        ChooseInterface(w, type);
        QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        if (holder > 0)
            Release(holder);
        QVERIFY(!Connected(w));
        QTEST(w.messages.Texts(), "said");
        if (!w.messages.Messages().isEmpty()) {
            const MessageRecorder::Message& shown = w.messages.Messages().last();
            QCOMPARE(shown.style, int(modZEMO::MsgCritical));
            QCOMPARE(shown.title, QStringLiteral("Brackwell"));
            if (holder > 0)
                QCOMPARE(shown.informative, w.ports.Device(1).SlavePath() + QStringLiteral(": in use by another program"));
            ExpectIdle(w);
            QCOMPARE(w.Button("COMInitButton")->text(), QStringLiteral("Init"));
        }
        QTEST(w.Timer()->isActive(), "polling");
        w.Action("FileExitMenu")->trigger();
        QVERIFY(!w.Timer()->isActive());
        QCOMPARE(win32::testhook::StrayCloses(), 0);
        QVERIFY(noPort || (PortIsFree("COM1") && PortIsFree("COM2")));
    }

    // Each type arranges the lists; its cycles leave no descriptor behind.
    void interfaceCycles_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("settings");
        QTest::addColumn<bool>("second"); // the second port's list, its caption and the port labels
        QTest::addColumn<QString>("speed");
        QTest::newRow("Generic") << "Generic" << true << false << "115200";
        for (const char* profile : {"IRMan", "Creative Infra", "CM12(X10)", "GSM Data"})
            QTest::newRow(profile) << profile << false << false << "9600";
        QTest::newRow("Transparent") << "Transparent" << true << true << "115200";
    }
    void interfaceCycles()
    {
        QFETCH(QString, type);
        QFETCH(bool, second);
        TestWindow w({1, 2});
        ChooseInterface(w, type == "Generic" ? "Transparent" : "Generic");
        ChooseInterface(w, type);
        for (QWidget* list : SettingLists(w))
            QTEST(list->isEnabled(), "settings");
        QCOMPARE(w.List("AltComListBox")->isEnabled() && w.Label("Com2Label")->isEnabled(), second);
        QCOMPARE(!w.Label("Out1Label")->isHidden() && !w.Label("Out2Label")->isHidden(), second);
        QTEST(w.List("SpeedListBox")->currentText(), "speed");
        // One cycle first: what lives as long as the window then exists.
        QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        const qsizetype before = OpenDescriptors();
        for (int i = 0; i < 3; ++i) {
            ChooseInterface(w, type);
            QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
            QVERIFY(Connected(w));
            QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
            QVERIFY(!Connected(w));
        }
        QCOMPARE(OpenDescriptors(), before);
        QCOMPARE(win32::testhook::StrayCloses(), 0);
        QVERIFY(w.messages.Messages().isEmpty());
    }

    // A vanished device is reported once; Disc. says nothing more, Init works once it is back.
    void unplugOnePort()
    {
        TestWindow w({1});
        QVERIFY(Connect(w, "Generic"));
        QVERIFY(w.ports.Device(1).Send("before"));
        QTRY_COMPARE(w.Box("RXOut")->Text(), QByteArray("before"));
        w.ports.Device(1).CloseMaster();
        QTRY_COMPARE(w.messages.Texts(), QStringList{Gone.arg(1)});
        QCOMPARE(w.messages.Messages().front().style, int(modZEMO::MsgCritical));
        LetTicksRun(10); // further ticks against the port whose device has gone
        QCOMPARE(w.Label("CTSv")->text() + w.Box("RXOut")->Text(), QStringLiteral("0before"));
        Send(w, "x");
        QCOMPARE(w.messages.Texts(), (QStringList{Gone.arg(1), SendError}));

        QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        QVERIFY(!Connected(w));
        w.ports.Add(1); // the device is back
        QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        QVERIFY(w.ports.Device(1).Send("after"));
        QTRY_COMPARE(w.Box("RXOut")->Text(), QByteArray("after"));
        QCOMPARE(w.messages.Messages().size(), 2);
    }

    void unplugDuringRelay()
    {
        TestWindow w({1, 2});
        PtyPair& first = w.ports.Device(1);
        QVERIFY(Connect(w, "Transparent") && ShowsTwoPorts(w));

        // The first relay to the vanished port fails and says so; all is still shown.
        w.ports.Device(2).CloseMaster();
        const QByteArray data(250, 'd');
        for (int sent = 1; sent <= 3; ++sent) {
            QVERIFY(first.Send(data));
            QVERIFY(first.WaitUntilQueued(data.size()));
            QTRY_COMPARE(w.Box("RXOut")->Text(), data.repeated(sent));
        }
        QCOMPARE(w.messages.Texts(), (QStringList{SendError, Gone.arg(2)}));

        QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        w.ports.Add(1);
        w.ports.Add(2);
        QVERIFY(Connect(w, "Transparent") && ShowsTwoPorts(w));
        QCOMPARE(w.messages.Messages().size(), 2);
    }
};

QTEST_MAIN(tst_Connect)
#include "tst_Connect.moc"
