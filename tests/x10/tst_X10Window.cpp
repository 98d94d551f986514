#include "app/frmMain.h"
#include "devsim/Cm11Device.h"
#include "monitor/ReceiveView.h"
#include "support/HostedDevice.h"
#include "support/MessageRecorder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <thread>

using namespace std::chrono_literals;

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

void Send(frmMain& w, const QString& text)
{
    w.SendData->setText(text);
    QTest::mouseClick(w.SendButton, Qt::LeftButton);
}

void ConnectCM12(frmMain& w)
{
    w.show();
    w.TXDataTypeListBox->setCurrentIndex(3);
    w.CRCheckbox->setChecked(true);
    w.ITypeListBox->setCurrentIndex(frmMain::CM12X10);
    QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
    QVERIFY(w.PortIsOpen);
}

}

class tst_X10Window : public QObject {
    Q_OBJECT

private slots:
    void connectAnswersThePowerFailPollOnce()
    {
        SimulatedPorts ports;
        HostedDevice<devsim::Cm11Device> cm11;
        cm11->SetPollInterval(30ms);
        cm11.start(ports, 1);
        QTRY_VERIFY(cm11->Sent().Size() >= 3); // polls wait at the port
        MessageRecorder messages;
        frmMain w;
        ConnectCM12(w);
        QTRY_VERIFY(!cm11->Polling());
        QCOMPARE(cm11->Received().Bytes(), Bytes({0xFB}));
        QCOMPARE(w.TXDataTypeListBox->currentText(), QStringLiteral("HEX"));
        QVERIFY(!w.CRCheckbox->isChecked() && !w.CRCheckbox->isEnabled());
        QCOMPARE(w.RXBitsNrListBox->currentText(), QStringLiteral("1"));
        QCOMPARE(w.OutCombo->currentText(), QStringLiteral("Hex"));
        QCOMPARE(w.SpeedListBox->currentText(), QStringLiteral("4800"));
        // The greeting read took the polls: none of them is shown.
        QTest::qWait(100);
        QVERIFY(!w.RXOut->Text().contains("A5"));
        QVERIFY(messages.messages().isEmpty());
    }

    void transmissionIsConfirmed_data()
    {
        QTest::addColumn<bool>("wrongOnce");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("right checksum") << false << Bytes({0x04, 0x66, 0x00});
        QTest::newRow("wrong checksum once") << true << Bytes({0x04, 0x66, 0x04, 0x66, 0x00});
    }
    void transmissionIsConfirmed()
    {
        QFETCH(bool, wrongOnce);
        QFETCH(QByteArray, written);
        SimulatedPorts ports;
        HostedDevice<devsim::Cm11Device> cm11;
        cm11->SetPollAtStart(false);
        cm11->SetWrongChecksumOnce(wrongOnce);
        cm11->SetPowerLineDelay(50ms);
        cm11.start(ports, 1);
        MessageRecorder messages;
        frmMain w;
        ConnectCM12(w);
        Send(w, "0466");
        QTRY_COMPARE(cm11->Received().Bytes(), written);
        QCOMPARE(w.SendData->text(), QString());
        QCOMPARE(w.focusWidget(), w.SendData);
        QTRY_COMPARE(cm11->Completed(), 1);
        // The checksum was taken by the exchange; the 0x55 that follows is shown.
        QTRY_VERIFY(w.RXOut->Text().contains("55 "));
        QVERIFY(!w.RXOut->Text().contains("6A"));
        QVERIFY(messages.messages().isEmpty());
    }

    void checksumWithAFurtherByteCountsAsWrong()
    {
        SimulatedPorts ports;
        PtyPair& device = ports.add(1);
        MessageRecorder messages;
        frmMain w;
        ConnectCM12(w);
        device.receiveAvailable();
        // The interface answers the first transmission with the sum and a
        // poll byte in one piece, the second with the sum alone.
        std::thread cm11([&] {
            if (device.receive(2, 3000) != Bytes({0x04, 0x66}))
                return;
            device.send(Bytes({0x6A, 0x5A}));
            if (device.receive(2, 3000) == Bytes({0x04, 0x66}))
                device.send(Bytes({0x6A}));
        });
        QTest::qWait(0);
        Send(w, "0466");
        cm11.join();
        QCOMPARE(device.receive(1, 2000), Bytes({0x00}));
        QVERIFY(messages.messages().isEmpty());
    }

    void silentInterface()
    {
        SimulatedPorts ports;
        HostedDevice<devsim::Cm11Device> cm11;
        cm11->SetPollAtStart(false);
        cm11->SetSilent(true);
        cm11.start(ports, 1);
        MessageRecorder messages;
        frmMain w;
        ConnectCM12(w);
        QElapsedTimer clock;
        clock.start();
        Send(w, "0466");
        QVERIFY(clock.elapsed() >= 1000);
        QCOMPARE(messages.texts(), QStringList{"X10 communication error"});
        QCOMPARE(messages.messages().first().style, 16);
        QCOMPARE(w.SendData->text(), QString());
    }

    void resetRecord()
    {
        SimulatedPorts ports;
        HostedDevice<devsim::Cm11Device> cm11;
        cm11->SetPollAtStart(false);
        cm11.start(ports, 1);
        MessageRecorder messages;
        frmMain w;
        ConnectCM12(w);
        w.Timer1->stop(); // so that the line can be seen before the answer arrives
        Send(w, "  RESET ");
        QCOMPARE(w.SendData->text(), QStringLiteral("  RESET "));
        QTRY_COMPARE(cm11->Received().Bytes(), Bytes({0x9B, 0, 0, 0, 0, 0, 0x07}));
        QVERIFY(w.RXOut->Text().endsWith("\r\nCM11/12 interface reset OK."));
        // The next data rewrites the box and the line is gone.
        w.Timer1->start();
        QTRY_VERIFY(!w.RXOut->Text().contains("reset OK"));
        QVERIFY(!w.RXOut->Text().isEmpty());

        w.SendData->setFocus();
        QTest::keyClick(w.SendData, Qt::Key_Up);
        QVERIFY(w.SendData->text().isEmpty()); // "RESET" was not stored
        Send(w, "reset");
        QCOMPARE(messages.texts(), QStringList{"Use only HEX digits (0...9, a...f)."});
    }

    void otherInterfaceSendsOnceAndReadsNothing()
    {
        SimulatedPorts ports;
        HostedDevice<devsim::Cm11Device> cm11;
        cm11->SetPollAtStart(false);
        cm11.start(ports, 1);
        MessageRecorder messages;
        frmMain w;
        w.show();
        w.SpeedListBox->setCurrentIndex(5);
        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        w.TXDataTypeListBox->setCurrentIndex(0);
        w.OutCombo->setCurrentIndex(1);
        Send(w, "0466");
        QTRY_COMPARE(cm11->Received().Bytes(), Bytes({0x04, 0x66}));
        QTRY_VERIFY(w.RXOut->Text().contains("6A "));
        QVERIFY(messages.messages().isEmpty());
    }
};

QTEST_MAIN(tst_X10Window)
#include "tst_X10Window.moc"
