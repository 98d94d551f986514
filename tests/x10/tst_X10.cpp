#include "devsim/Cm11Device.h"
#include "app/frmMain.h"
#include "app/monitor/ReceiveView.h"
#include "support/HostedDevice.h"
#include "support/window/MessageRecorder.h"
#include "support/window/WindowSteps.h"
#include "x10/ChecksumExchange.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <thread>

using namespace std::chrono_literals;

namespace {

// Answers reads from a script; an exhausted script is a silent interface.
class ScriptedPort : public x10::ExchangePort {
public:
    std::deque<QByteArray> replies;
    QByteArrayList writes;
    bool failing = false;
    int reads = 0;

    void Write(const QByteArray& bytes) override { writes << bytes.toHex().toUpper(); }
    std::optional<QByteArray> Read(std::chrono::milliseconds wait) override
    {
        ++reads;
        if (failing)
            return std::nullopt;
        if (replies.empty()) {
            std::this_thread::sleep_for(wait);
            return QByteArray();
        }
        const QByteArray reply = replies.front();
        replies.pop_front();
        return reply;
    }
};

}

class tst_X10 : public QObject {
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
        QVERIFY(Connect(w, frmMain::CM12X10));
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

    // The sum with a poll byte in one piece does not confirm, the sum alone does;
    // no answer at all is reported, and the send ends as after a good one.
    void onlyALoneRightSumConfirms()
    {
        SimulatedPorts ports;
        PtyPair& device = ports.add(1);
        MessageRecorder messages;
        frmMain w;
        QVERIFY(Connect(w, frmMain::CM12X10));
        device.receiveAvailable();
        std::thread cm11([&] {
            for (const QByteArray& answer : {QByteArray::fromHex("6A5A"), QByteArray::fromHex("6A")})
                if (device.receive(2, 3000) == QByteArray::fromHex("0466"))
                    device.send(answer);
        });
        Send(w, "0466");
        cm11.join();
        QCOMPARE(device.receive(1, 2000), QByteArray::fromHex("00"));
        Send(w, "0466");
        QCOMPARE(messages.texts(), QStringList{"X10 communication error"});
        QCOMPARE(messages.messages().first().style, 16);
        QCOMPARE(w.SendData->text(), QString());
    }

    // Replies and writes are hex pieces; "-" is a read that found nothing.
    // The payload was written once before the exchange.
    void exchange_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("emptyReads");
        QTest::addColumn<QByteArray>("replies");
        QTest::addColumn<bool>("failing");
        QTest::addColumn<QByteArray>("writes");
        QTest::newRow("wrong byte, nothing, right sum") << QByteArray("0466") << 0 << QByteArray("A5 - 6A") << false << QByteArray("0466 00");
        QTest::newRow("sum without the carry") << QByteArray("B664") << 0 << QByteArray("1A") << false << QByteArray("00");
        QTest::newRow("right sum and a further byte") << QByteArray("0466") << 0 << QByteArray("6A55 6A") << false << QByteArray("0466 00");
        // More than the read limit of quick empty reads: the interface still has its second.
        QTest::newRow("late answer") << QByteArray("0466") << x10::ReadLimit + 5000 << QByteArray("6A") << false << QByteArray("00");
        QTest::newRow("silent") << QByteArray("0466") << 0 << QByteArray() << false << QByteArray();
        QTest::newRow("port failed") << QByteArray("0466") << 0 << QByteArray() << true << QByteArray();
    }
    void exchange()
    {
        QFETCH(QByteArray, payload);
        QFETCH(int, emptyReads);
        QFETCH(QByteArray, replies);
        QFETCH(bool, failing);
        QFETCH(QByteArray, writes);
        ScriptedPort port;
        port.replies.resize(size_t(emptyReads));
        for (const QByteArray& reply : replies.split(' '))
            if (!reply.isEmpty())
                port.replies.push_back(reply == "-" ? QByteArray() : QByteArray::fromHex(reply));
        port.failing = failing;
        QElapsedTimer clock;
        clock.start();
        const bool acknowledged = x10::RunChecksumExchange(port, QByteArray::fromHex(payload)) == x10::ExchangeResult::Acknowledged;
        QCOMPARE(port.writes.join(' '), writes);
        QCOMPARE(acknowledged, !writes.isEmpty());
        // Silence ends after the read limit and the minimum wait; a failed port ends it at once.
        if (!acknowledged) {
            QCOMPARE(port.reads, failing ? 1 : x10::ReadLimit);
            QVERIFY(failing || clock.elapsed() >= x10::MinimumWait.count());
        }
    }
};

QTEST_MAIN(tst_X10)
#include "tst_X10.moc"
