#include "monitor/TickCounter.h"
#include "support/window/StoppedClocks.h"
#include "support/window/TestWindow.h"

class tst_Stamps : public QObject {
    Q_OBJECT

private slots:
    // "ABCDE", 4 bytes a line, 12.345 s after a connect at 14:03:07.123: shown stamps follow the kind.
    void kindsFromTheViewMenu_data()
    {
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("Time of Day") << QStringList{"ViewStampTimeOfDay"} << QByteArray("ABCD\r\n 14:03:07.123: E");
        QTest::newRow("Since Connect") << QStringList{"ViewStampSinceConnect"} << QByteArray("ABCD\r\n     12.345 s: E");
        QTest::newRow("Since Previous Line") << QStringList{"ViewStampSincePrevious"}
                                             << QByteArray("ABCD\r\n     +0.000 s: E");
        QTest::newRow("back to Ticks") << QStringList{"ViewStampTimeOfDay", "ViewStampTicks"}
                                       << QByteArray("ABCD\r\n00000001234ms: E");
    }
    void kindsFromTheViewMenu()
    {
        QFETCH(QStringList, actions);
        StoppedClocks clocks;
        TestWindow w({1, 2});
        QVERIFY(Choose(w.List("RXBitsNrListBox"), "4"));
        QVERIFY(Connect(w, "Transparent"));
        clocks.monotonic += 12'345;
        QVERIFY(w.ports.Device(1).Send("ABCDE") && w.ports.Device(2).Send("ABCDE"));
        for (const char* box : {"RXOut", "RX2Out"})
            QTRY_COMPARE(w.Box(box)->Text(), QByteArray("ABCD\r\n00000001234ms: E"));
        for (const QString& action : actions)
            w.Action(qPrintable(action))->trigger();
        for (const char* box : {"RXOut", "RX2Out"})
            QTEST(w.Box(box)->Text(), "text");
    }

    // The line rules apply to what arrives once they are chosen.
    void lineRulesFromTheViewMenu_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<int>("quietMs");
        QTest::addColumn<QByteArray>("then");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("Stamp Every Line") << "ViewStampEveryLine" << QByteArray("OK\n") << 0 << QByteArray("AT\r\n")
                                          << QByteArray("OK\n\r\n00000001234ms: AT\r\n00000001234ms: ");
        QTest::newRow("a pause of 100 ms") << "ViewPause100" << QByteArray("AB") << 100 << QByteArray("CD")
                                           << QByteArray("AB\r\n00000001244ms: CD");
        QTest::newRow("just under 100 ms") << "ViewPause100" << QByteArray("AB") << 99 << QByteArray("CD")
                                           << QByteArray("ABCD");
    }
    void lineRulesFromTheViewMenu()
    {
        QFETCH(QString, action);
        QFETCH(QByteArray, first);
        QFETCH(int, quietMs);
        QFETCH(QByteArray, then);
        QFETCH(QByteArray, text);
        StoppedClocks clocks;
        TestWindow w({1});
        QVERIFY(Connect(w, "Generic"));
        w.Action(qPrintable(action))->trigger();
        clocks.monotonic += 12'345;
        QVERIFY(w.ports.Device(1).Send(first));
        QTRY_VERIFY(w.Box("RXOut")->TextLength() > 0);
        clocks.monotonic += quietMs;
        QVERIFY(w.ports.Device(1).Send(then));
        QTRY_COMPARE(w.Box("RXOut")->Text(), text);
    }
};

QTEST_MAIN(tst_Stamps)
#include "tst_Stamps.moc"
