#include "transmit/SendHistory.h"

#include <QtTest>

using modZEMO::SendHistoryRing;

class tst_SendHistory : public QObject {
    Q_OBJECT

private slots:
    void entriesArePaddedAndCut();
    void storeWrapsAfter99();
    void unwrittenEntriesAreEmpty();
    void recallStepsWrap_data();
    void recallStepsWrap();
};

void tst_SendHistory::entriesArePaddedAndCut()
{
    SendHistoryRing ring;
    QCOMPARE(ring.Store(0, "AT"), int16_t{1});
    QCOMPARE(ring.Entry(1), QString("AT").leftJustified(100, u' '));
    QCOMPARE(ring.Recall(1), QString("AT"));

    const QString longText = QString(99, u'a') + "bc";
    QCOMPARE(ring.Store(1, longText), int16_t{2});
    QCOMPARE(ring.Entry(2), longText.left(100));
    QCOMPARE(ring.Recall(2), longText.left(100));
}

void tst_SendHistory::storeWrapsAfter99()
{
    SendHistoryRing ring;
    int16_t index = 0;
    for (int i = 1; i <= 99; ++i)
        index = ring.Store(index, QString::number(i));
    QCOMPARE(index, int16_t{99});
    index = ring.Store(index, "hundredth");
    QCOMPARE(index, int16_t{1});
    QCOMPARE(ring.Recall(1), QString("hundredth"));
    QCOMPARE(ring.Recall(2), QString("2"));
    QCOMPARE(ring.Recall(99), QString("99"));
}

void tst_SendHistory::unwrittenEntriesAreEmpty()
{
    SendHistoryRing ring;
    ring.Store(0, "x");
    QVERIFY(ring.Entry(2).isEmpty());
    QVERIFY(ring.Entry(0).isEmpty());
    QVERIFY(ring.Entry(100).isEmpty());
    QVERIFY(ring.Recall(99).isEmpty());
}

void tst_SendHistory::recallStepsWrap_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("back");
    QTest::addColumn<int>("forward");

    QTest::newRow("start") << 0 << 99 << 1;
    QTest::newRow("one") << 1 << 99 << 2;
    QTest::newRow("middle") << 50 << 49 << 51;
    QTest::newRow("last") << 99 << 98 << 1;
    QTest::newRow("after storing entry 99") << 100 << 99 << 1;
}

void tst_SendHistory::recallStepsWrap()
{
    QFETCH(int, from);
    QFETCH(int, back);
    QFETCH(int, forward);
    QCOMPARE(SendHistoryRing::StepBack(static_cast<int16_t>(from)), back);
    QCOMPARE(SendHistoryRing::StepForward(static_cast<int16_t>(from)), forward);
}

QTEST_GUILESS_MAIN(tst_SendHistory)
#include "tst_SendHistory.moc"
