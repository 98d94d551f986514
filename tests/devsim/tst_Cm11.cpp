#include "devsim/Cm11Device.h"
#include "support/HostedDevice.h"

#include <QTest>

#include <thread>

using namespace std::chrono_literals;
using devsim::Cm11Device;

enum Fault { None, WrongChecksumOnce, LateAnswer, Silent };

class tst_Cm11 : public QObject {
    Q_OBJECT

private slots:
    // The host's writes (pieces apart sent apart) and the interface's answers, in turn.
    void exchange_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QStringList>("turns");
        QTest::addColumn<int>("completed");
        QTest::newRow("sum without the carry") << int(None) << QStringList{"B664", "1A", "00", "55"} << 1;
        QTest::newRow("5 bytes one by one") << int(None) << QStringList{"07 67 01 02 03", "74", "00", "55"} << 1;
        QTest::newRow("wrong checksum once, sent again")
            << int(WrongChecksumOnce) << QStringList{"0466", "6B", "0466", "6A", "00", "55"} << 1;
        QTest::newRow("another transmission instead of 00") << int(None) << QStringList{"0466", "6A", "06D2", "D8"}
                                                            << 0;
        QTest::newRow("late answer") << int(LateAnswer) << QStringList{"0466", "6A"} << 0;
        QTest::newRow("silent") << int(Silent) << QStringList{"0466", ""} << 0;
    }
    void exchange()
    {
        QFETCH(int, fault);
        QFETCH(QStringList, turns);
        HostedDevice<Cm11Device> cm11;
        cm11->SetPollAtStart(false);
        cm11->SetPowerLineDelay(20ms);
        cm11->SetWrongChecksumOnce(fault == WrongChecksumOnce);
        cm11->SetAnswerDelay(fault == LateAnswer ? 300ms : 0ms);
        cm11->SetSilent(fault == Silent);
        cm11.Run();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < turns.size(); i += 2) {
            for (const QString& piece : turns[i].split(' ')) {
                QVERIFY(cm11.Pty().Send(QByteArray::fromHex(piece.toLatin1())));
                std::this_thread::sleep_for(20ms);
            }
            const QByteArray answer = QByteArray::fromHex(turns[i + 1].toLatin1());
            QCOMPARE(cm11.Pty().Receive(answer.size(), answer.isEmpty() ? 200 : 5000), answer);
        }
        QTEST(cm11->Completed(), "completed");
        if (fault == Silent)
            QTRY_COMPARE(cm11->Received().Bytes(), QByteArray::fromHex("0466"));
        if (fault == LateAnswer)
            QVERIFY(cm11->Sent().Chunks().front().at - start >= 300ms);
    }
};

QTEST_GUILESS_MAIN(tst_Cm11)
#include "tst_Cm11.moc"
