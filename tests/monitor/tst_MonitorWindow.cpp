#include "app/frmMain.h"
#include "app/monitor/ReceiveView.h"
#include "support/window/MessageRecorder.h"
#include "support/SimulatedPorts.h"
#include "support/window/WindowSteps.h"

#include <QComboBox>
#include <QLabel>
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

}

class tst_MonitorWindow : public QObject {
    Q_OBJECT

private slots:
    void boxesFollowTheDisplayLists()
    {
        MessageRecorder messages;
        frmMain window;
        window.RX.Append("ABCDE", 0, false, 0);
        window.RX2.Append("XYZ", 0, false, 0);
        QStringList captions;
        for (const int format : {0, 1, 2}) {
            frmMain::SelectItem(window.OutCombo, format);
            captions << window.OutLabel->text();
            QCOMPARE(window.RXOut->Text(), window.RX.Text(format)->Whole());
            QCOMPARE(window.RX2Out->Text(), window.RX2.Text(format)->Whole());
            QCOMPARE(window.RXOut->CaretPosition(), window.RXOut->TextLength());
        }
        QCOMPARE(captions, (QStringList{"Binary", "Hex", "Char"}));

        // A tick with nothing received changes only the indicators, and with nothing open the poll stops.
        window.RXOut->AppendLocalText("\r\nCM11/12 interface reset OK.");
        window.Timer1_Timer();
        QCOMPARE(window.Label8->text(), QStringLiteral(" 0"));
        for (QLabel* line : {window.CTSv, window.DSRv, window.RIv, window.DCDv})
            QCOMPARE(line->text(), QStringLiteral("0"));
        QCOMPARE(window.RXOut->Text(), QByteArray("ABCDE\r\nCM11/12 interface reset OK."));
        QVERIFY(!window.Timer1->isActive());

        // Both texts are re-broken and shown anew: the line written into the box goes.
        frmMain::SelectItem(window.RXBitsNrListBox, 2);
        QCOMPARE(window.RXOut->Text() + '|' + window.RX2Out->Text(), QByteArray("AB\r\nCD\r\nE|XY\r\nZ"));

        window.ClearButton_Click();
        QVERIFY(window.RXOut->Text().isEmpty() && window.RX2Out->Text().isEmpty());
        QVERIFY(window.RX.Bytes().Size() == 0 && window.RX2.Bytes().Size() == 0);
    }

    // More than one read's worth, all in one tick: from one port (Chr, no line
    // limit: the box holds the bytes), then relayed both ways between two.
    void waitingBytesAllShownInOneTick()
    {
        SimulatedPorts ports;
        PtyPair& first = ports.add(1);
        PtyPair& second = ports.add(2);
        MessageRecorder messages;
        frmMain w;
        QVERIFY(Connect(w, frmMain::Generic));
        w.Timer1->stop(); // the test runs the ticks itself
        const QByteArray sent = Counting(250, 0);
        QVERIFY(first.send(sent));
        QVERIFY(first.waitUntilQueued(250));
        w.Timer1_Timer();
        QCOMPARE(w.RXOut->Text(), sent);
        QCOMPARE(w.RXOut->CaretPosition(), w.RXOut->TextLength());
        // A hundred ticks a second, each reading what has come, keep up with the fastest line.
        QVERIFY(w.Timer1->isActive() && w.Timer1->interval() == 10);

        w.COMInitButton_Click();
        w.ClearButton_Click();
        QVERIFY(Connect(w, frmMain::Transparent));
        w.Timer1->stop(); // the test runs the ticks itself
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

QTEST_MAIN(tst_MonitorWindow)
#include "tst_MonitorWindow.moc"
