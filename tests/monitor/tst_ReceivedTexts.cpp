#include "monitor/ReceivedTexts.h"
#include "monitor/TickCounter.h"

#include <QTest>

namespace {

QByteArray TextOf(const ReceivedTexts& texts, int format)
{
    return texts.Text(format)->Bytes();
}

QByteArray Stamp()
{
    return modZEMO::TimeStampText();
}

}

class tst_ReceivedTexts : public QObject {
    Q_OBJECT

private slots:
    void init() { modZEMO::MsCount = 1234; }

    void fourBytesPerLine()
    {
        ReceivedTexts rx;
        rx.Append("ABCDE", 4, false);
        QCOMPARE(TextOf(rx, 0), QByteArray("01000001010000100100001101000100\r\n00000001234ms: 01000101"));
        QCOMPARE(TextOf(rx, 1), QByteArray("41 42 43 44 \r\n00000001234ms: 45 "));
        QCOMPARE(TextOf(rx, 2), QByteArray("ABCD\r\n00000001234ms: E"));
        QCOMPARE(rx.LineCount(), int16_t(1));
        QCOMPARE(rx.Text(2)->LineCount(), 2);
    }

    void oneBytePerLine()
    {
        ReceivedTexts rx;
        rx.Append("AB", 1, false);
        QCOMPARE(TextOf(rx, 1), "41 \r\n" + Stamp() + "42 \r\n" + Stamp());
        QCOMPARE(rx.LineCount(), int16_t(0));
    }

    void noLimit()
    {
        ReceivedTexts rx;
        rx.Append(QByteArray("OK\r\nAT\r\n\0", 9), 0, false);
        QCOMPARE(rx.Text(0)->LineCount(), 1);
        QCOMPARE(rx.Text(1)->LineCount(), 1);
        QCOMPARE(TextOf(rx, 2), QByteArray("OK\r\nAT\r\n\0", 9));
        QCOMPARE(rx.Text(2)->LineCount(), 3);
        QCOMPARE(rx.LineCount(), int16_t(0));
        QCOMPARE(rx.Text(3), nullptr);
        QCOMPARE(rx.Text(-1), nullptr);
    }

    void twoPortStampAfterReceivedLineEnd_data()
    {
        QTest::addColumn<bool>("twoPortMode");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("two ports") << true << "OK\r\n" + Stamp();
        QTest::newRow("one port") << false << QByteArray("OK\r\n");
    }

    void twoPortStampAfterReceivedLineEnd()
    {
        QFETCH(bool, twoPortMode);
        QFETCH(QByteArray, expected);
        ReceivedTexts rx;
        rx.Append("OK\r\n", 0, twoPortMode);
        QCOMPARE(TextOf(rx, 2), expected);
        QCOMPARE(TextOf(rx, 1), QByteArray("4F 4B 0D 0A "));
    }

    void forcedBreakOnReceivedLineEnd()
    {
        ReceivedTexts rx;
        rx.Append("AB\r\n", 4, true);
        QCOMPARE(TextOf(rx, 2), "AB\r\n" + Stamp() + "\r\n" + Stamp());
        QCOMPARE(TextOf(rx, 1), "41 42 0D 0A \r\n" + Stamp());
    }

    void firstLineAfterClearHasNoStamp()
    {
        ReceivedTexts rx;
        rx.Append("ABC", 2, false);
        rx.Clear();
        QCOMPARE(TextOf(rx, 0), QByteArray());
        QCOMPARE(rx.LineCount(), int16_t(0));
        QCOMPARE(rx.Text(2)->LineCount(), 1);
        rx.Append("XYZ", 2, false);
        QCOMPARE(TextOf(rx, 2), "XY\r\n" + Stamp() + "Z");
    }

    void reflowResetsCounterAndRebreaks()
    {
        ReceivedTexts rx;
        rx.Append("ABCDEFG", 4, false); // open line holds 3 bytes
        rx.Reflow(2);
        // Pieces of 2 bytes; the stamp now stands inside the lines.
        const QByteArray stripped = "ABCD" + Stamp() + "EFG";
        QByteArray expected;
        for (qsizetype at = 0; at < stripped.size(); at += 2)
            expected += (at ? "\r\n" : "") + stripped.mid(at, 2);
        QCOMPARE(TextOf(rx, 2), expected);
        QCOMPARE(rx.LineCount(), int16_t(0));
        QCOMPARE(rx.Text(1)->LongestLine(), 6);
        // The open line takes n more bytes before its break.
        rx.Append("HI", 2, false);
        QCOMPARE(TextOf(rx, 2), expected + "HI\r\n" + Stamp());
    }

    void reflowToNoLimitMakesOneLine()
    {
        ReceivedTexts rx;
        rx.Append("ABCDE", 1, false);
        rx.Reflow(0);
        for (int format = 0; format < 3; ++format)
            QCOMPARE(rx.Text(format)->LineCount(), 1);
        QCOMPARE(TextOf(rx, 1), "41 " + Stamp() + "42 " + Stamp() + "43 " + Stamp() + "44 " + Stamp() + "45 " + Stamp());
    }
};

QTEST_APPLESS_MAIN(tst_ReceivedTexts)
#include "tst_ReceivedTexts.moc"
