#include "app/frmMain.h"
#include "devsim/CreativeIrDevice.h"
#include "devsim/GsmTerminal.h"
#include "devsim/IrmanDevice.h"
#include "monitor/ReceiveView.h"
#include "port/ModemLineHook.h"
#include "support/HostedDevice.h"
#include "support/MessageRecorder.h"

#include <QCheckBox>
#include <QComboBox>
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

// Types a text into the send box and presses Send, as a user does.
void Send(frmMain& w, const QString& text)
{
    w.SendData->setText(text);
    QTest::mouseClick(w.SendButton, Qt::LeftButton);
}

int Millis(std::chrono::steady_clock::duration d)
{
    return int(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

}

class tst_DeviceProfiles : public QObject {
    Q_OBJECT

private slots:
    void irmanStartUpSequence()
    {
        SimulatedPorts ports;
        HostedDevice<devsim::IrmanDevice> irman;
        irman->SetCodeInterval(200ms);
        irman.start(ports, 1);
        MessageRecorder messages;
        frmMain w;
        w.show();
        w.SpeedListBox->setCurrentIndex(0);
        w.BitsListBox->setCurrentIndex(1);
        w.ITypeListBox->setCurrentIndex(frmMain::IRMan);
        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QVERIFY(w.PortIsOpen);
        QCOMPARE(w.SpeedListBox->currentText(), QStringLiteral("9600"));
        QCOMPARE(w.BitsListBox->currentText(), QStringLiteral("8"));
        QVERIFY(!w.SendData->isEnabled());

        // Exactly "I" then "R", each 500 ms after the step before. The device's
        // thread stamps what it reads and may wake a little late under load,
        // which shortens a gap; a missing pause would leave almost none.
        QTRY_COMPARE(irman->Received().Bytes(), QByteArray("IR"));
        const auto chunks = irman->Received().Chunks();
        QCOMPARE(chunks.size(), size_t(2));
        const auto lines = win32::testhook::LineHistory("COM1");
        const auto raised = std::find_if(lines.rbegin(), lines.rend(), [](const LineEvent& e) {
            return e.kind != LineEvent::Closed && e.on;
        });
        QVERIFY(raised != lines.rend());
        QVERIFY2(Millis(chunks[0].at - raised->when) >= 450, "I came too soon after the lines went up");
        QVERIFY2(Millis(chunks[1].at - chunks[0].at) >= 450, "R came too soon after I");

        // Its "OK" and the codes after it show once the connect is done.
        QTRY_VERIFY(w.RXOut->Text().startsWith("OK"));
        QTRY_VERIFY(w.RXOut->TextLength() >= 2 + 2 * 6);
        QVERIFY(messages.messages().isEmpty());
    }

    void irmanBusyPort()
    {
        SimulatedPorts ports;
        PtyPair& device = ports.add(1);
        MessageRecorder messages;
        frmMain w;
        const int holder = ::open(qPrintable(device.slavePath()), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QCOMPARE(::flock(holder, LOCK_EX | LOCK_NB), 0);
        w.SpeedListBox->setCurrentIndex(2);
        w.ITypeListBox->setCurrentIndex(frmMain::IRMan);
        w.COMInitButton_Click();
        QVERIFY(!w.PortIsOpen);
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(w.SpeedListBox->currentText(), QStringLiteral("9600"));
        QCOMPARE(w.BitsListBox->currentText(), QStringLiteral("8"));
        QCOMPARE(w.COMInitButton->text(), QStringLiteral("Init"));
        ::close(holder);
        w.COMInitButton_Click();
        QVERIFY(w.PortIsOpen);
    }

    void creativeInfra()
    {
        SimulatedPorts ports;
        HostedDevice<devsim::CreativeIrDevice> receiver;
        receiver->SetFrameInterval(100ms);
        receiver.start(ports, 1);
        MessageRecorder messages;
        frmMain w;
        w.show();
        w.ITypeListBox->setCurrentIndex(frmMain::CreativeInfra);
        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QVERIFY(w.PortIsOpen);
        QCOMPARE(w.OutCombo->currentText(), QStringLiteral("Hex"));
        QCOMPARE(w.RXBitsNrListBox->currentText(), QStringLiteral("9"));
        QCOMPARE(w.TXDataTypeListBox->currentText(), QStringLiteral("HEX"));
        QCOMPARE(w.SpeedListBox->currentText(), QStringLiteral("4800"));
        QCOMPARE(w.focusWidget(), w.SendData);

        Send(w, "1f");
        QTRY_COMPARE(receiver->Received().Bytes(), QByteArray("\x1F"));
        QCOMPARE(w.SendData->text(), QString());

        // Frames of six bytes show nine bytes to a line.
        QTRY_VERIFY(w.RXOut->Text().count("\r\n") >= 2);
        const QList<QByteArray> lines = w.RXOut->Text().split('\n');
        QCOMPARE(lines.first().size(), 9 * 3 + 1);
        QVERIFY(lines.first().startsWith("4D 05 "));
        QCOMPARE(lines.first().mid(6 * 3, 6), QByteArray("4D 05 "));
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
        w.show();
        w.TXDataTypeListBox->setCurrentIndex(0);
        w.OutCombo->setCurrentIndex(0);
        w.RXBitsNrListBox->setCurrentIndex(8);
        w.ITypeListBox->setCurrentIndex(frmMain::GSMData);
        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QVERIFY(w.PortIsOpen);
        QCOMPARE(w.SpeedListBox->currentText(), QStringLiteral("115200"));
        QCOMPARE(w.TXDataTypeListBox->currentText(), QStringLiteral("CHAR"));
        QCOMPARE(w.OutCombo->currentText(), QStringLiteral("Chr"));
        QCOMPARE(w.RXBitsNrListBox->currentText(), QStringLiteral("0"));
        QVERIFY(w.CRCheckbox->isChecked() && w.LFCheckbox->isChecked());

        Send(w, "AT");
        QTRY_COMPARE(terminal->Received().Bytes(), QByteArray("AT\r\n"));
        Send(w, "ATI");
        // The reply shows as the terminal wrote it, broken only at its own line ends.
        QTRY_VERIFY(w.RXOut->Text().count("OK\r\n") == 2);
        QTRY_COMPARE(w.RXOut->Text(), terminal->Sent().Bytes());
        QVERIFY(!w.RXOut->Text().contains("ms: "));
        QVERIFY(messages.messages().isEmpty());
    }
};

QTEST_MAIN(tst_DeviceProfiles)
#include "tst_DeviceProfiles.moc"
