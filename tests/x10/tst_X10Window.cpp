#include "devsim/Cm11Device.h"
#include "app/frmMain.h"
#include "monitor/ReceiveView.h"
#include "support/HostedDevice.h"
#include "support/MessageRecorder.h"
#include "support/WindowSteps.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;

namespace {

void Connect(frmMain& w, int type)
{
    w.show();
    w.ITypeListBox->setCurrentIndex(type);
    QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
    QVERIFY(w.PortIsOpen);
}

}

class tst_X10Window : public QObject {
    Q_OBJECT

private slots:
    void cm12Session()
    {
        SimulatedPorts ports;
        HostedDevice<devsim::Cm11Device> cm11;
        cm11->SetPollInterval(30ms);
        cm11->SetPowerLineDelay(50ms);
        cm11.start(ports, 1);
        QTRY_VERIFY(cm11->Sent().Size() >= 3); // polls wait at the port
        MessageRecorder messages;
        frmMain w;
        Connect(w, frmMain::CM12X10);
        // The connect answers the power-fail poll once; the polls it read are not shown.
        QTRY_VERIFY(!cm11->Polling());
        QCOMPARE(cm11->Received().Bytes(), QByteArray::fromHex("FB"));

        Send(w, "0466");
        QTRY_COMPARE(cm11->Received().Bytes(), QByteArray::fromHex("FB046600"));
        QTRY_COMPARE(cm11->Completed(), 1);
        // The exchange took the checksum; the 0x55 that follows shows, one byte to a line.
        QTRY_VERIFY(w.RXOut->Text().contains("55 \r\n"));
        QVERIFY(!w.RXOut->Text().contains("6A") && !w.RXOut->Text().contains("A5"));

        w.Timer1->stop(); // so that the line can be seen before the answer arrives
        Send(w, "  RESET ");
        QCOMPARE(w.SendData->text(), QStringLiteral("  RESET "));
        QTRY_VERIFY(cm11->Received().Bytes().endsWith(QByteArray::fromHex("9B000000000007")));
        QVERIFY(w.RXOut->Text().endsWith("\r\nCM11/12 interface reset OK."));
        // The next data rewrites the box and the line is gone.
        w.Timer1->start();
        QTRY_VERIFY(!w.RXOut->Text().contains("reset OK"));

        // "RESET" was not kept in the history; in other cases it is ordinary text.
        QTest::keyClick(w.SendData, Qt::Key_Up);
        QCOMPARE(w.SendData->text(), QStringLiteral("0466"));
        Send(w, "reset");
        QCOMPARE(messages.texts(), QStringList{"Use only HEX digits (0...9, a...f)."});
    }

    // No answer at all: reported, and the send ends as after a good one.
    void silentInterfaceReported()
    {
        SimulatedPorts ports;
        ports.add(1);
        MessageRecorder messages;
        frmMain w;
        Connect(w, frmMain::CM12X10);
        Send(w, "0466");
        QCOMPARE(messages.texts(), QStringList{"X10 communication error"});
        QCOMPARE(messages.messages().first().style, 16);
        QCOMPARE(w.SendData->text(), QString());
    }
};

QTEST_MAIN(tst_X10Window)
#include "tst_X10Window.moc"
