#include "devsim/Cm11Device.h"
#include "support/HostedDevice.h"
#include "support/window/TestWindow.h"

using namespace std::chrono_literals;

class tst_X10Window : public QObject {
    Q_OBJECT

private slots:
    void cm12Session()
    {
        HostedDevice<devsim::Cm11Device> cm11;
        cm11->SetPollInterval(30ms);
        cm11->SetPowerLineDelay(50ms);
        TestWindow w;
        cm11.Start(w.ports, 1);
        QTRY_VERIFY(cm11->Sent().Size() >= 3); // polls wait at the port
        QTRY_COMPARE(Items(w.List("ComPortListBox")), QStringList{"COM1"}); // plugged in while the window is open
        QVERIFY(Connect(w, "CM12(X10)")); // answers the power-fail poll once; the polls read are not shown
        QTRY_VERIFY(!cm11->Polling());
        QCOMPARE(cm11->Received().Bytes(), QByteArray::fromHex("FB"));

        Send(w, "0466");
        QTRY_COMPARE(cm11->Received().Bytes(), QByteArray::fromHex("FB046600"));
        QTRY_COMPARE(cm11->Completed(), 1);
        ReceiveView* box = w.Box("RXOut");
        QTRY_VERIFY(box->Text().contains("55 \r\n")); // the checksum taken by the exchange, the 0x55 shown
        QVERIFY(!box->Text().contains("6A") && !box->Text().contains("A5"));

        Send(w, "  RESET "); // its line shows at once, before the poll takes the answer
        QCOMPARE(w.Edit("SendData")->text(), QStringLiteral("  RESET "));
        QVERIFY(box->Text().endsWith("\r\nCM11/12 interface reset OK."));
        QTRY_VERIFY(cm11->Received().Bytes().endsWith(QByteArray::fromHex("9B000000000007")));
        QTRY_VERIFY(!box->Text().contains("reset OK")); // the next data rewrites the box
        // "RESET" was not kept in the history; in other cases it is ordinary text.
        QTest::keyClick(w.Edit("SendData"), Qt::Key_Up);
        QCOMPARE(w.Edit("SendData")->text(), QStringLiteral("0466"));
        Send(w, "reset");
        QCOMPARE(w.messages.Texts(), QStringList{"Use only HEX digits (0...9, a...f)."});
    }

    // No answer to the sum is reported, and the send ends as after a good one.
    void silenceIsReported()
    {
        TestWindow w({1});
        QVERIFY(Connect(w, "CM12(X10)"));
        Send(w, "0466");
        QCOMPARE(w.messages.Texts(), QStringList{"X10 communication error"});
        QVERIFY(w.messages.Messages().first().style == 16 && w.Edit("SendData")->text().isEmpty());
    }
};

QTEST_MAIN(tst_X10Window)
#include "tst_X10Window.moc"
