#include "monitor/TickCounter.h"

#include <QTest>
#include <limits>

class tst_TickCounter : public QObject {
    Q_OBJECT

private slots:
    void stamp_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("zero") << 0 << QByteArray("00000000000ms: ");
        QTest::newRow("1234") << 1234 << QByteArray("00000001234ms: ");
        QTest::newRow("maximum") << std::numeric_limits<int32_t>::max() << QByteArray("02147483647ms: ");
    }

    void stamp()
    {
        QFETCH(int, count);
        QFETCH(QByteArray, expected);
        QCOMPARE(modZEMO::StampText(count), expected);
    }

    // The count follows the clock in 10 ms units from where it was set, and
    // starts again at 0 after its maximum.
    void countsFromReset_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("expectedAfter100ms");
        QTest::newRow("from 0") << 0 << 10;
        QTest::newRow("across the maximum") << std::numeric_limits<int32_t>::max() - 4 << 5;
    }

    void countsFromReset()
    {
        QFETCH(int, start);
        QFETCH(int, expectedAfter100ms);
        modZEMO::SetMsCount(start);
        QVERIFY(modZEMO::MsCount() - start <= 1);
        QTest::qSleep(100);
        const int32_t count = modZEMO::MsCount();
        QVERIFY2(count >= expectedAfter100ms && count < expectedAfter100ms + 50, QByteArray::number(count));
    }
};

QTEST_APPLESS_MAIN(tst_TickCounter)
#include "tst_TickCounter.moc"
