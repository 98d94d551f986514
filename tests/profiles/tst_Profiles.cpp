#include "devsim/CreativeIrDevice.h"
#include "devsim/GsmTerminal.h"
#include "devsim/IrmanDevice.h"
#include "app/frmMain.h"
#include "monitor/ReceiveView.h"
#include "port/ModZemoPorts.h"
#include "port/ModemLineHook.h"
#include "profiles/DeviceProfiles.h"
#include "support/HostedDevice.h"
#include "support/MessageRecorder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace std::chrono_literals;
using win32::testhook::LineEvent;

namespace {

void Connect(frmMain& w, int type)
{
    w.show();
    w.ITypeListBox->setCurrentIndex(type);
    w.AltComListBox->setCurrentIndex(0); // Transparent only
    QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
    QVERIFY(w.PortIsOpen);
}

void Send(frmMain& w, const QString& text)
{
    w.SendData->setText(text);
    QTest::mouseClick(w.SendButton, Qt::LeftButton);
}

QString LineEvents(const QString& com)
{
    QStringList events;
    for (const LineEvent& e : win32::testhook::LineHistory(com))
        events << QStringList{"DTR", "RTS", "closed"}.at(e.kind) + (e.kind == LineEvent::Closed ? "" : e.on ? "+" : "-");
    return events.join(' ');
}

// A program opening the port gets it.
bool Free(const QString& com)
{
    const win32::HANDLE h = modZEMO::OpenPort(com);
    if (h == win32::INVALID_HANDLE_VALUE)
        return false;
    win32::CloseHandle(h);
    return true;
}

}

class tst_Profiles : public QObject {
    Q_OBJECT

private slots:
    // The window does what the profile table says, from settings unlike every profile's.
    void windowFollowsTheProfile_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<uint>("bitRate"); // what the device needs
        // The lines as set with the settings (dropped, or kept as the port had them), then raised and ticked, RTS first.
        QTest::addColumn<QString>("lines");
        const QString dropped = "DTR- RTS- RTS+ DTR+ RTS+ DTR+";
        QTest::newRow("IRMan") << int(frmMain::IRMan) << 9600u << dropped;
        QTest::newRow("Creative Infra") << int(frmMain::CreativeInfra) << 4800u << dropped;
        QTest::newRow("CM12(X10)") << int(frmMain::CM12X10) << 4800u << dropped;
        QTest::newRow("GSM Data") << int(frmMain::GSMData) << 115200u << "DTR+ RTS+ RTS+ DTR+ RTS+ DTR+";
    }
    void windowFollowsTheProfile()
    {
        QFETCH(int, type);
        QFETCH(uint, bitRate);
        QFETCH(QString, lines);
        SimulatedPorts ports;
        PtyPair& device = ports.add(1);
        MessageRecorder messages;
        frmMain w;
        const std::pair<QComboBox*, int> unlikeEveryProfile[] = {{w.BitsListBox, 2}, {w.ParityListBox, 2}, {w.StopListBox, 2},
                                                                  {w.HandshakeListBox, 1}, {w.TXDataTypeListBox, 2},
                                                                  {w.RXBitsNrListBox, 5}, {w.OutCombo, 0}};
        for (const auto& [list, index] : unlikeEveryProfile)
            list->setCurrentIndex(index);
        Connect(w, type);
        const profiles::FixedProfile& profile = *profiles::FixedProfileOf(type);

        QCOMPARE(device.slaveBitRate(), bitRate);
        QCOMPARE(w.SpeedListBox->currentIndex(), int(profile.speed));
        win32::DCB dcb{};
        QVERIFY(win32::GetCommState(modZEMO::hCom, &dcb));
        QCOMPARE(QList<int>({dcb.ByteSize, dcb.Parity, dcb.StopBits}), QList<int>({8, win32::NOPARITY, win32::ONESTOPBIT}));
        QCOMPARE(QStringList({w.BitsListBox->currentText(), w.ParityListBox->currentText(), w.StopListBox->currentText(),
                              w.HandshakeListBox->currentText()}),
                 QStringList({"8", "None", "1", "None"}));
        // A profile without display settings leaves the display and the send box alone.
        const auto display = profile.display.value_or(profiles::DisplaySettings{lists::TxBin, 5, lists::Bin, false});
        QCOMPARE(QList<int>({w.TXDataTypeListBox->currentIndex(), w.RXBitsNrListBox->currentIndex(), w.OutCombo->currentIndex(),
                             w.CRCheckbox->isChecked(), w.LFCheckbox->isChecked(), w.SendData->isEnabled(),
                             w.focusWidget() == w.SendData}),
                 QList<int>({display.transmitType, display.bytesPerLine, display.notation, display.crAndLf, display.crAndLf,
                             profile.display.has_value(), profile.display.has_value()}));
        QCOMPARE(LineEvents("COM1"), lines);
        QVERIFY(w.DTRv->isEnabled() && w.RTSv->isEnabled());
        QVERIFY(messages.messages().isEmpty());
    }

    void irmanStartUpSequence()
    {
        SimulatedPorts ports;
        HostedDevice<devsim::IrmanDevice> irman;
        irman->SetCodeInterval(200ms);
        irman.start(ports, 1);
        MessageRecorder messages;
        frmMain w;
        Connect(w, frmMain::IRMan);
        QVERIFY(!w.SendData->isEnabled());
        // "I" then "R", each 500 ms after the step before. The device's thread
        // stamps what it reads and may wake a little late under load, which
        // shortens a gap; a missing pause would leave almost none.
        QTRY_COMPARE(irman->Received().Bytes(), QByteArray("IR"));
        const auto chunks = irman->Received().Chunks();
        QCOMPARE(chunks.size(), size_t(2));
        const auto raised = win32::testhook::LineHistory("COM1").back().when;
        QVERIFY2(chunks[0].at - raised >= 450ms, "I came too soon after the lines went up");
        QVERIFY2(chunks[1].at - chunks[0].at >= 450ms, "R came too soon after I");
        // Its "OK" and the codes after it show once the connect is done.
        QTRY_VERIFY(w.RXOut->Text().startsWith("OK") && w.RXOut->TextLength() >= 2 + 2 * 6);
        QVERIFY(messages.messages().isEmpty());
    }

    void creativeInfra()
    {
        SimulatedPorts ports;
        HostedDevice<devsim::CreativeIrDevice> receiver;
        receiver->SetFrameInterval(100ms);
        receiver.start(ports, 1);
        MessageRecorder messages;
        frmMain w;
        Connect(w, frmMain::CreativeInfra);
        Send(w, "1f");
        QTRY_COMPARE(receiver->Received().Bytes(), QByteArray("\x1F"));
        // Frames of six bytes show in hex, nine bytes to a line.
        QTRY_VERIFY(w.RXOut->Text().count("\r\n") >= 2);
        const QList<QByteArray> lines = w.RXOut->Text().split('\n');
        QCOMPARE(lines.first().size(), 9 * 3 + 1);
        QVERIFY(lines.first().startsWith("4D 05 ") && lines.first().mid(6 * 3, 6) == "4D 05 ");
        QVERIFY(lines.at(1).startsWith("000"));
        QVERIFY(messages.messages().isEmpty());
    }

    void gsmData()
    {
        SimulatedPorts ports;
        HostedDevice<devsim::GsmTerminal> terminal;
        terminal.start(ports, 1);
        MessageRecorder messages;
        frmMain w;
        Connect(w, frmMain::GSMData);
        Send(w, "AT");
        QTRY_COMPARE(terminal->Received().Bytes(), QByteArray("AT\r\n"));
        Send(w, "ATI");
        // The reply shows as the terminal wrote it, broken only at its own line ends.
        QTRY_VERIFY(w.RXOut->Text().count("OK\r\n") == 2);
        QTRY_COMPARE(w.RXOut->Text(), terminal->Sent().Bytes());
        QVERIFY(!w.RXOut->Text().contains("ms: "));
        QVERIFY(messages.messages().isEmpty());
    }
    void transparentRefused_data()
    {
        QTest::addColumn<bool>("secondChosen");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("title");
        QTest::newRow("no second port chosen") << false << "Please select second port before init!" << 0 << "ZEMO";
        QTest::newRow("second port busy") << true << "Error initializing COM port." << 16 << "Brackwell";
    }
    void transparentRefused()
    {
        QFETCH(bool, secondChosen);
        QFETCH(QString, message);
        QFETCH(int, style);
        QFETCH(QString, title);
        SimulatedPorts ports;
        ports.add(1);
        const int holder = ::open(qPrintable(ports.add(2).slavePath()), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QCOMPARE(::flock(holder, LOCK_EX | LOCK_NB), 0);
        MessageRecorder messages;
        frmMain w;
        w.ITypeListBox->setCurrentIndex(frmMain::Transparent);
        w.AltComListBox->setCurrentIndex(0);
        if (!secondChosen)
            w.ComPortListBox->setCurrentIndex(1); // forgets the second port
        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QCOMPARE(messages.texts(), QStringList{message});
        QCOMPARE(messages.messages().first().style, style);
        QCOMPARE(messages.messages().first().title, title);
        if (!secondChosen)
            QCOMPARE(w.focusWidget(), w.AltComListBox);
        QVERIFY(!w.PortIsOpen && !w.TwoPortMode && !w.Timer1->isActive() && w.COMInitButton->isEnabled());
        ::close(holder);
        QVERIFY(Free("COM1") && Free("COM2"));
    }

    // What is relayed and shown is tested with the receive tick.
    void transparentConnectAndDisconnect()
    {
        SimulatedPorts ports;
        ports.add(1);
        ports.add(2);
        MessageRecorder messages;
        frmMain w;
        w.ParityListBox->setCurrentIndex(2);
        w.BitsListBox->setCurrentIndex(2);
        Connect(w, frmMain::Transparent);
        QVERIFY(w.TwoPortMode);
        QCOMPARE(w.Out1Label->text() + w.Out2Label->text(), QStringLiteral("COM1COM2"));
        QVERIFY(w.RXOut->geometry().right() < w.RX2Out->geometry().left());
        QVERIFY(!w.SendData->isEnabled() && !w.SendButton->isEnabled() && !w.AltComListBox->isEnabled());
        for (const win32::HANDLE h : {modZEMO::hCom, modZEMO::hCom2}) {
            win32::DCB dcb{};
            QVERIFY(win32::GetCommState(h, &dcb));
            QCOMPARE(QList<uint>({dcb.BaudRate, dcb.ByteSize, dcb.Parity}), QList<uint>({115200, 7, win32::EVENPARITY}));
        }
        // The lines cannot be changed while two ports are open.
        QTest::mouseClick(w.DTRv, Qt::LeftButton);
        QCOMPARE(w.DTRv->checkState(), Qt::Checked);

        // Disc.: DTR and RTS of the primary port drop before both ports close.
        win32::testhook::ClearLineHistory("COM1");
        win32::testhook::ClearLineHistory("COM2");
        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QVERIFY(!w.PortIsOpen && w.AltComListBox->isEnabled());
        QCOMPARE(LineEvents("COM1") + " / " + LineEvents("COM2"), QStringLiteral("DTR- RTS- closed / closed"));
        QVERIFY(Free("COM1") && Free("COM2"));
        QVERIFY(messages.messages().isEmpty());
    }
};

QTEST_MAIN(tst_Profiles)
#include "tst_Profiles.moc"
