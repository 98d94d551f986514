#include "app/frmMain.h"
#include "monitor/ReceiveView.h"
#include "port/ModZemoPorts.h"
#include "support/MessageRecorder.h"
#include "support/SimulatedPorts.h"

#include <QComboBox>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

QByteArray Counting(int size, int from = 0)
{
    QByteArray out(size, '\0');
    for (int i = 0; i < size; ++i)
        out[i] = char((from + i) % 251);
    return out;
}

// Connects the Generic profile with Chr display and no line limit, so that
// the primary box holds exactly the received bytes.
void ConnectGeneric(frmMain& w, int speedIndex = 6)
{
    w.SpeedListBox->setCurrentIndex(speedIndex);
    w.COMInitButton_Click();
    QVERIFY(w.PortIsOpen);
}

void ConnectTransparent(frmMain& w)
{
    w.ITypeListBox->setCurrentIndex(frmMain::Transparent);
    w.AltComListBox->setCurrentIndex(0);
    w.COMInitButton_Click();
    QVERIFY(w.PortIsOpen && w.TwoPortMode);
    w.Timer1->stop(); // the test runs the ticks itself
}

}

class tst_ReceiveFromPorts : public QObject {
    Q_OBJECT

private slots:
    void waitingBytesAllShownInOrder()
    {
        SimulatedPorts ports;
        PtyPair& device = ports.add(1);
        MessageRecorder messages;
        frmMain w;
        ConnectGeneric(w);
        const QByteArray sent = Counting(250);
        w.Timer1->stop();
        QVERIFY(device.send(sent));
        QVERIFY(device.waitUntilQueued(250));
        w.Timer1_Timer();
        QCOMPARE(w.RXOut->Text(), sent);
        QCOMPARE(w.RXOut->CaretPosition(), w.RXOut->TextLength());
    }

    void steadyStreamIsShownCompletely()
    {
        // 12 800 bytes a second for 10 s, written as fast as a 128000 bit/s line carries them.
        SimulatedPorts ports;
        PtyPair& device = ports.add(1);
        MessageRecorder messages;
        frmMain w;
        ConnectGeneric(w, 11);
        constexpr int PerSlice = 128;
        constexpr int Slices = 1000;
        std::atomic<bool> ok = true;
        std::thread writer([&] {
            auto next = std::chrono::steady_clock::now();
            for (int i = 0; i < Slices && ok; ++i) {
                ok = device.send(Counting(PerSlice, i * PerSlice));
                next += std::chrono::milliseconds(10);
                std::this_thread::sleep_until(next);
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(w.RXOut->TextLength() >= PerSlice * Slices || !ok, 60000);
        writer.join();
        QVERIFY(ok);
        QCOMPARE(w.RXOut->Text(), Counting(PerSlice * Slices));
        QVERIFY(messages.messages().isEmpty());
    }

    void twoPortsRelayBothWaysInOneTick()
    {
        SimulatedPorts ports;
        PtyPair& first = ports.add(1);
        PtyPair& second = ports.add(2);
        MessageRecorder messages;
        frmMain w;
        ConnectTransparent(w);
        const QByteArray query = Counting(230, 7);
        QVERIFY(first.send(query));
        QVERIFY(second.send("REPLY\r\n"));
        QVERIFY(first.waitUntilQueued(query.size()));
        QVERIFY(second.waitUntilQueued(7));
        w.Timer1_Timer();
        QCOMPARE(second.receive(query.size(), 2000), query);
        QCOMPARE(first.receive(7, 2000), QByteArray("REPLY\r\n"));
        QVERIFY(w.RXOut->Text().startsWith(query));
        QVERIFY(w.RX2Out->Text().startsWith("REPLY\r\n"));
        QVERIFY(messages.messages().isEmpty());
    }
};

QTEST_MAIN(tst_ReceiveFromPorts)
#include "tst_ReceiveFromPorts.moc"
