#include "monitor/TickCounter.h"

#include <QElapsedTimer>
#include <QTest>
#include <limits>

class tst_TickCounter : public QObject {
    Q_OBJECT

private slots:
    // The count follows the clock in 10 ms units from where it was set, and
    // starts again at 0 after its maximum. The bounds come from the time
    // measured around it, not from a guess of how long a sleep takes.
    void countsFromItsSetting_data()
    {
        QTest::addColumn<int>("start");
        QTest::newRow("from 0") << 0;
        QTest::newRow("across the maximum") << std::numeric_limits<int32_t>::max() - 4;
    }
    void countsFromItsSetting()
    {
        QFETCH(int, start);
        QElapsedTimer around;
        around.start();
        modZEMO::SetMsCount(start);
        QTest::qSleep(100);
        const int32_t count = modZEMO::MsCount();
        const qint64 most = around.elapsed() / 10 + 1;
        const qint64 ticks = (qint64(count) - start + (qint64(1) << 31)) % (qint64(1) << 31);
        QVERIFY(count >= 0);
        QVERIFY2(ticks >= 10 && ticks <= most, qPrintable(QString::number(ticks)));
    }
};

QTEST_APPLESS_MAIN(tst_TickCounter)
#include "tst_TickCounter.moc"
