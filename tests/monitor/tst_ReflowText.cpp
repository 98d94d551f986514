#include "support/reference/LineStarts.h"
#include "support/reference/LineText.h"
#include "support/reference/ReflowText.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

// The re-breaking as written out step by step, for texts of any size.
QByteArray Reference(QByteArray text, qsizetype width)
{
    for (qsizetype pair = text.indexOf("\r\n"); pair >= 0; pair = text.indexOf("\r\n"))
        text.remove(pair, 2);
    if (width == 0)
        return text;
    QByteArray result = text.left(width);
    for (qsizetype at = width; at < text.size(); at += width)
        result += "\r\n" + text.mid(at, width);
    return result;
}

}

class tst_ReflowText : public QObject {
    Q_OBJECT

private slots:
    void cases_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("empty") << QByteArray() << 4 << QByteArray();
        QTest::newRow("shorter than width") << QByteArray("ABC") << 4 << QByteArray("ABC");
        QTest::newRow("exact pieces") << QByteArray("ABCDEF") << 3 << QByteArray("ABC\r\nDEF");
        QTest::newRow("last piece shorter") << QByteArray("ABCDEFG") << 3 << QByteArray("ABC\r\nDEF\r\nG");
        QTest::newRow("old breaks removed") << QByteArray("AB\r\nCD\r\nEF") << 3 << QByteArray("ABC\r\nDEF");
        QTest::newRow("pair at the very start") << QByteArray("\r\nAB") << 1 << QByteArray("A\r\nB");
        QTest::newRow("pairs brought together") << QByteArray("A\r\r\n\nB") << 0 << QByteArray("AB");
        QTest::newRow("lone CR and LF kept") << QByteArray("\rA\n\n\r") << 2 << QByteArray("\rA\r\n\n\n\r\n\r");
        QTest::newRow("width 0 is one line") << QByteArray("AB\r\nCD") << 0 << QByteArray("ABCD");
        QTest::newRow("zero bytes") << QByteArray("\0\0\0", 3) << 2 << QByteArray("\0\0\r\n\0", 5);
    }

    void cases()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, width);
        QFETCH(QByteArray, expected);
        ReflowText(text, width);
        QCOMPARE(text, expected);
    }

    void beyondSixteenBitsMatchesReference_data()
    {
        QTest::addColumn<int>("width");
        for (const int width : {0, 1, 3, 7, 8, 512})
            QTest::addRow("w=%d", width) << width;
    }

    void beyondSixteenBitsMatchesReference()
    {
        QFETCH(int, width);
        QRandomGenerator random(width + 1);
        QByteArray text;
        for (int i = 0; i < 70000; ++i) {
            const quint32 pick = random.bounded(10);
            text += pick == 0 ? '\r' : pick == 1 ? '\n' : char('a' + pick);
        }
        QByteArray reflowed = text;
        ReflowText(reflowed, width);
        QCOMPARE(reflowed, Reference(text, width));
    }

    void lineIndexFollowsAppends()
    {
        QRandomGenerator random(7);
        LineText text;
        QByteArray all;
        for (int piece = 0; piece < 500; ++piece) {
            QByteArray bytes;
            for (quint32 i = random.bounded(6); i > 0; --i)
                bytes += "\r\nx"[random.bounded(3)];
            text.Append(bytes);
            all += bytes;
        }
        QCOMPARE(text.Bytes(), all);
        // Rebuild the lines from the index and compare with a plain split at CR LF.
        QByteArray rebuilt;
        qsizetype longest = 0;
        for (qsizetype line = 0; line < text.LineCount(); ++line) {
            rebuilt += (line ? "\r\n" : "") + all.mid(text.LineStart(line), text.LineLength(line));
            longest = std::max(longest, text.LineLength(line));
            QCOMPARE(text.LineOf(text.LineStart(line)), line);
            QVERIFY(line == 0 || all.mid(text.LineStart(line) - 2, 2) == "\r\n");
        }
        QCOMPARE(rebuilt, all);
        QCOMPARE(text.LineCount(), all.count("\r\n") + 1);
        QCOMPARE(text.LongestLine(), longest);
        QCOMPARE(text.LineOf(all.size() + 5), text.LineCount() - 1);
        QByteArray stripped = all;
        ReflowText(stripped, 0);
        text.Reflow(5);
        QCOMPARE(text.LineCount(), std::max<qsizetype>(1, (stripped.size() + 4) / 5));
        QCOMPARE(text.LongestLine(), std::min<qsizetype>(5, stripped.size()));
    }

    void lineEndSplitOverTwoAppends()
    {
        LineText text;
        text.Append("AB\r");
        text.Append("\nC");
        QCOMPARE(text.LineCount(), 2);
        QCOMPARE(text.LineStart(1), 4);
        QCOMPARE(text.LineLength(0), 2);
        QCOMPARE(text.LongestLine(), 2);
    }

    void offsetsPastFourGigabytes()
    {
        LineStarts starts;
        const qsizetype offsets[] = {5, 0xFFFFFFFF, qsizetype(1) << 32, (qsizetype(1) << 32) + 9, (qsizetype(3) << 32) + 1};
        for (const qsizetype offset : offsets)
            starts.Push(offset);
        QCOMPARE(starts.Count(), 5);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(starts.At(i), offsets[i]);
    }
};

QTEST_APPLESS_MAIN(tst_ReflowText)
#include "tst_ReflowText.moc"
