#include "app/MsgBox.h"
#include "app/frmMain.h"
#include "monitor/ReceiveView.h"
#include "port/ModZemoPorts.h"
#include "port/ModemLineHook.h"
#include "support/MessageRecorder.h"
#include "support/ProcessChecks.h"
#include "support/SimulatedPorts.h"
#include "support/WindowSteps.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {

const QString SendError = QStringLiteral("Error sending data to the COM port");
const QString Gone = QStringLiteral("The device on COM%1 is not responding.");

}

class tst_faults : public QObject {
    Q_OBJECT

private slots:
    // A device that goes away is reported once, naming its port; Disc. works
    // without further messages and Init works again once it is back.
    void unplugOnePort()
    {
        SimulatedPorts ports;
        PtyPair& device = ports.add(1);
        MessageRecorder messages;
        frmMain w;
        w.show();
        w.COMInitButton_Click();
        QVERIFY(device.send("before"));
        QTRY_COMPARE(w.RXOut->Text(), QByteArray("before"));

        device.closeMaster();
        QTRY_COMPARE(messages.texts(), QStringList{Gone.arg(1)});
        QCOMPARE(messages.messages().front().style, int(modZEMO::MsgCritical));
        QTest::qWait(100); // further ticks against the port whose device has gone
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(w.CTSv->text(), QStringLiteral("0"));
        QCOMPARE(w.RXOut->Text(), QByteArray("before"));
        Send(w, "x");
        QCOMPARE(messages.texts(), (QStringList{Gone.arg(1), SendError}));

        w.COMInitButton_Click();
        QVERIFY(!w.PortIsOpen);
        ports.add(1); // the device is back
        w.COMInitButton_Click();
        QVERIFY(ports.device(1).send("after"));
        QTRY_COMPARE(w.RXOut->Text(), QByteArray("after"));
        QCOMPARE(messages.messages().size(), 2);
    }

    void unplugDuringRelay()
    {
        SimulatedPorts ports;
        PtyPair& first = ports.add(1);
        PtyPair& second = ports.add(2);
        MessageRecorder messages;
        frmMain w;
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
        QCOMPARE(messages.texts(), (QStringList{SendError, Gone.arg(2)}));
        first.closeMaster();
        for (int tick = 0; tick < 3; ++tick)
            w.Timer1_Timer();
        QCOMPARE(messages.texts(), (QStringList{SendError, Gone.arg(2), Gone.arg(1)}));
        QCOMPARE(w.RXOut->Text(), data.repeated(3));

        w.COMInitButton_Click();
        ports.add(1);
        ports.add(2);
        ChooseInterface(w, frmMain::Transparent);
        w.COMInitButton_Click();
        QVERIFY(w.TwoPortMode && w.PortIsOpen);
        QCOMPARE(messages.messages().size(), 3);
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
        SimulatedPorts ports;
        ports.add(1);
        ports.add(2);
        MessageRecorder messages;
        frmMain w;
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
        QVERIFY(messages.messages().isEmpty());
    }

    // COM1 held by another program: each interface type fails as written,
    // leaves nothing open, and File > Exit stops a poll the failure started.
    void portHeldByAnotherProgram_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<bool>("polling");
        const QStringList error{"Error initializing COM port."};
        QTest::newRow("Generic") << int(frmMain::Generic) << error << false;
        QTest::newRow("IRMan") << int(frmMain::IRMan) << QStringList{} << true;
        QTest::newRow("Creative Infra") << int(frmMain::CreativeInfra) << QStringList{} << true;
        QTest::newRow("CM12(X10)") << int(frmMain::CM12X10) << QStringList{} << true;
        QTest::newRow("GSM Data") << int(frmMain::GSMData) << QStringList{} << false;
        QTest::newRow("Transparent") << int(frmMain::Transparent) << error << false;
    }
    void portHeldByAnotherProgram()
    {
        QFETCH(int, type);
        QFETCH(QStringList, said);
        SimulatedPorts ports;
        ports.add(1);
        ports.add(2);
        const pid_t holder = HoldInAnotherProcess(QStringLiteral("COM1"));
        QVERIFY(holder > 0);
        MessageRecorder messages;
        frmMain w;
        w.show();
        ChooseInterface(w, type);
        w.COMInitButton_Click();
        Release(holder);
        QVERIFY(!w.PortIsOpen);
        QCOMPARE(messages.texts(), said);
        if (!said.isEmpty())
            QCOMPARE(messages.messages().first().informative,
                     ports.device(1).slavePath() + QStringLiteral(": in use by another program"));
        // Three device profiles start the poll even after a failure, as written.
        QTEST(w.Timer1->isActive(), "polling");
        w.FileExitMenu->trigger();
        QVERIFY(!w.Timer1->isActive());
        QCOMPARE(win32::testhook::StrayCloses(), 0);
        QVERIFY(PortIsFree("COM1") && PortIsFree("COM2"));
    }
};

QTEST_MAIN(tst_faults)
#include "tst_faults.moc"
