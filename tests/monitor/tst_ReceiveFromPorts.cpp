#include "app/frmMain.h"
#include "monitor/ReceiveView.h"
#include "support/MessageRecorder.h"
#include "support/SimulatedPorts.h"

#include <QComboBox>
#include <QTest>
#include <QTimer>

namespace {

QByteArray Counting(int size, int from)
{
    QByteArray out(size, '\0');
    for (int i = 0; i < size; ++i)
        out[i] = char((from + i) % 251);
    return out;
}

// The test runs the ticks itself.
void Connect(frmMain& w, int type)
{
    w.ITypeListBox->setCurrentIndex(type);
    w.AltComListBox->setCurrentIndex(0);
    w.COMInitButton_Click();
    QVERIFY(w.PortIsOpen);
    w.Timer1->stop();
}

}

class tst_ReceiveFromPorts : public QObject {
    Q_OBJECT

private slots:
    // More than one read's worth, all in one tick (Chr, no line limit: the box holds the bytes).
    void waitingBytesAllShownInOrder()
    {
        SimulatedPorts ports;
        PtyPair& device = ports.add(1);
        MessageRecorder messages;
        frmMain w;
        Connect(w, frmMain::Generic);
        const QByteArray sent = Counting(250, 0);
        QVERIFY(device.send(sent));
        QVERIFY(device.waitUntilQueued(250));
        w.Timer1_Timer();
        QCOMPARE(w.RXOut->Text(), sent);
        QCOMPARE(w.RXOut->CaretPosition(), w.RXOut->TextLength());
        // A hundred ticks a second, each reading what has come, keep up with the fastest line.
        QVERIFY(w.Timer1->isActive() && w.Timer1->interval() == 10);
    }

    void twoPortsRelayBothWaysInOneTick()
    {
        SimulatedPorts ports;
        PtyPair& first = ports.add(1);
        PtyPair& second = ports.add(2);
        MessageRecorder messages;
        frmMain w;
        Connect(w, frmMain::Transparent);
        const QByteArray query = Counting(230, 7);
        QVERIFY(first.send(query));
        QVERIFY(second.send("REPLY\r\n"));
        QVERIFY(first.waitUntilQueued(query.size()));
        QVERIFY(second.waitUntilQueued(7));
        w.Timer1_Timer();
        QCOMPARE(second.receive(query.size(), 2000), query);
        QCOMPARE(first.receive(7, 2000), QByteArray("REPLY\r\n"));
        QVERIFY(w.RXOut->Text().startsWith(query));
        // A received CR LF is followed by a stamp in two-port operation.
        QVERIFY(w.RX2Out->Text().startsWith("REPLY\r\n000"));
        QVERIFY(messages.messages().isEmpty());
    }
};

QTEST_MAIN(tst_ReceiveFromPorts)
#include "tst_ReceiveFromPorts.moc"
