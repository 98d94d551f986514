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
        modZEMO::MsCount = count;
        QCOMPARE(modZEMO::TimeStampText(), expected);
    }

    void countStartsAgainAfterMaximum()
    {
        modZEMO::MsCount = std::numeric_limits<int32_t>::max() - 1;
        modZEMO::AdvanceMsCount();
        QCOMPARE(modZEMO::MsCount, std::numeric_limits<int32_t>::max());
        modZEMO::AdvanceMsCount();
        QCOMPARE(modZEMO::MsCount, 0);
        QCOMPARE(modZEMO::TimeStampText(), QByteArray("00000000000ms: "));
    }
};

QTEST_APPLESS_MAIN(tst_TickCounter)
#include "tst_TickCounter.moc"
