#include "devsim/IrmanDevice.h"
#include "app/frmMain.h"
#include "app/monitor/ReceiveView.h"
#include "port/ModZemoPorts.h"
#include "port/ModemLineHook.h"
#include "support/HostedDevice.h"
#include "support/window/MessageRecorder.h"
#include "support/ProcessChecks.h"
#include "support/window/WindowSteps.h"

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

QString LineEvents(const QString& com)
{
    QStringList events;
    for (const LineEvent& e : win32::testhook::LineHistory(com))
        events << QStringList{"DTR", "RTS", "closed"}.at(e.kind) + (e.kind == LineEvent::Closed ? "" : e.on ? "+" : "-");
    return events.join(' ');
}

}

class tst_Profiles : public QObject {
    Q_OBJECT

private slots:
    // From settings unlike every profile's, the window takes the device's.
    void windowFollowsTheProfile_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<uint>("bitRate");
        // The lines as set with the settings (dropped, or kept as the port had them), then raised and ticked, RTS first.
        QTest::addColumn<QString>("lines");
        // Send type, bytes per line, notation, CR, LF, send box enabled and focused; none: left alone.
        QTest::addColumn<QList<int>>("display");
        const QString dropped = "DTR- RTS- RTS+ DTR+ RTS+ DTR+";
        QTest::newRow("IRMan") << int(frmMain::IRMan) << 9600u << dropped << QList<int>{2, 5, 0, 0, 0, 0, 0};
        QTest::newRow("Creative Infra") << int(frmMain::CreativeInfra) << 4800u << dropped << QList<int>{0, 9, 1, 0, 0, 1, 1};
        QTest::newRow("CM12(X10)") << int(frmMain::CM12X10) << 4800u << dropped << QList<int>{0, 1, 1, 0, 0, 1, 1};
        QTest::newRow("GSM Data") << int(frmMain::GSMData) << 115200u << "DTR+ RTS+ RTS+ DTR+ RTS+ DTR+"
                                  << QList<int>{3, 0, 2, 1, 1, 1, 1};
    }
    void windowFollowsTheProfile()
    {
        QFETCH(int, type);
        SimulatedPorts ports;
        PtyPair& device = ports.add(1);
        MessageRecorder messages;
        frmMain w;
        const std::pair<QComboBox*, int> unlikeEveryProfile[] = {{w.BitsListBox, 2}, {w.ParityListBox, 2}, {w.StopListBox, 2},
                                                                  {w.HandshakeListBox, 1}, {w.TXDataTypeListBox, 2},
                                                                  {w.RXBitsNrListBox, 5}, {w.OutCombo, 0}};
        for (const auto& [list, index] : unlikeEveryProfile)
            list->setCurrentIndex(index);
        QVERIFY(Connect(w, type));
        QTEST(device.slaveBitRate(), "bitRate");
        QCOMPARE(w.SpeedListBox->currentText().toUInt(), device.slaveBitRate());
        win32::DCB dcb{};
        QVERIFY(win32::GetCommState(modZEMO::hCom, &dcb));
        QCOMPARE(QList<int>({dcb.ByteSize, dcb.Parity, dcb.StopBits}), QList<int>({8, win32::NOPARITY, win32::ONESTOPBIT}));
        QCOMPARE(QStringList({w.BitsListBox->currentText(), w.ParityListBox->currentText(), w.StopListBox->currentText(),
                              w.HandshakeListBox->currentText()}),
                 QStringList({"8", "None", "1", "None"}));
        QTEST(QList<int>({w.TXDataTypeListBox->currentIndex(), w.RXBitsNrListBox->currentIndex(), w.OutCombo->currentIndex(),
                          w.CRCheckbox->isChecked(), w.LFCheckbox->isChecked(), w.SendData->isEnabled(),
                          w.focusWidget() == w.SendData}),
              "display");
        QTEST(LineEvents("COM1"), "lines");
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
        QVERIFY(Connect(w, frmMain::IRMan));
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

    // Refused without a second port and with the second port busy, then connected.
    void transparent()
    {
        SimulatedPorts ports;
        ports.add(1);
        const int holder = ::open(qPrintable(ports.add(2).slavePath()), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QCOMPARE(::flock(holder, LOCK_EX | LOCK_NB), 0);
        MessageRecorder messages;
        frmMain w;
        w.ParityListBox->setCurrentIndex(2);
        w.BitsListBox->setCurrentIndex(2);
        ChooseInterface(w, frmMain::Transparent);
        w.ComPortListBox->setCurrentIndex(1); // forgets the second port
        const auto refused = [&w] { return !w.PortIsOpen && !w.TwoPortMode && !w.Timer1->isActive() && w.COMInitButton->isEnabled(); };
        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QVERIFY(refused());
        QCOMPARE(w.focusWidget(), w.AltComListBox);
        w.ComPortListBox->setCurrentIndex(0);
        w.AltComListBox->setCurrentIndex(0);
        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QVERIFY(refused());
        QVERIFY(PortIsFree("COM1"));
        QStringList said;
        for (const auto& m : messages.messages())
            said << QString::number(m.style) + ' ' + m.title + ": " + m.text;
        QCOMPARE(said, (QStringList{"0 ZEMO: Please select second port before init!", "16 Brackwell: Error initializing COM port."}));
        messages.clear();
        ::close(holder);

        // What is relayed and shown is tested with the receive tick.
        QVERIFY(Connect(w, frmMain::Transparent));
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
        QVERIFY(PortIsFree("COM1") && PortIsFree("COM2"));
        QVERIFY(messages.messages().isEmpty());
    }
};

QTEST_MAIN(tst_Profiles)
#include "tst_Profiles.moc"
