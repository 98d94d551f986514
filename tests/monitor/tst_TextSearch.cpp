#include "monitor/ReceivedTexts.h"
#include "monitor/TextSearch.h"

#include <QTest>

using namespace textsearch;

class tst_TextSearch : public QObject {
    Q_OBJECT

private slots:
    // Matches are looked for in the notation's text as the box shows it,
    // stamps and line breaks included; the whole text's own indexOf is the
    // reference.
    void findsInTheShownText_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QByteArray>("needle");
        QTest::newRow("Chr at the start and the end") << int(ReceivedTexts::Chr) << QByteArray("AB");
        QTest::newRow("Chr across a stamp") << int(ReceivedTexts::Chr) << QByteArray("D\r\n00000001234ms: A");
        QTest::newRow("Hex across a stamp") << int(ReceivedTexts::Hex) << QByteArray("44 \r\n00000001234ms: 41");
        QTest::newRow("Hex bytes") << int(ReceivedTexts::Hex) << InNotation("BC", ReceivedTexts::Hex);
        QTest::newRow("Bin bytes") << int(ReceivedTexts::Bin) << InNotation("DA", ReceivedTexts::Bin);
        QTest::newRow("nowhere") << int(ReceivedTexts::Chr) << QByteArray("ABCDA");
    }
    void findsInTheShownText()
    {
        QFETCH(int, format);
        QFETCH(QByteArray, needle);
        ReceivedTexts rx;
        rx.Append("ABCDABCDAB", 4, false, 1234);
        const NotationText& text = *rx.Text(format);
        const QByteArray whole = text.Whole();
        const auto slice = [&text](qsizetype from, qsizetype to) { return text.Slice(from, to); };
        QCOMPARE(FindForward(text.Size(), slice, needle, 0), whole.indexOf(needle));
        QCOMPARE(FindBackward(text.Size(), slice, needle, text.Size()), whole.lastIndexOf(needle));
        const qsizetype first = whole.indexOf(needle);
        if (first >= 0) {
            // The next match starts after this one; the one before ends before it.
            QCOMPARE(FindForward(text.Size(), slice, needle, first + 1), whole.indexOf(needle, first + 1));
            QCOMPARE(FindBackward(text.Size(), slice, needle, first + needle.size() - 1), qsizetype(-1));
        }
    }

    void findsAcrossTheBlocksItReads()
    {
        QByteArray text(3 << 20, 'x');
        const qsizetype at[] = {(1 << 20) - 3, (2 << 20) - 1};
        for (const qsizetype position : at)
            text.replace(position, 6, "needle");
        const auto slice = [&text](qsizetype from, qsizetype to) { return text.mid(from, to - from); };
        QCOMPARE(FindForward(text.size(), slice, "needle", 0), at[0]);
        QCOMPARE(FindForward(text.size(), slice, "needle", at[0] + 1), at[1]);
        QCOMPARE(FindForward(text.size(), slice, "needle", at[1] + 1), qsizetype(-1));
        QCOMPARE(FindBackward(text.size(), slice, "needle", text.size()), at[1]);
        QCOMPARE(FindBackward(text.size(), slice, "needle", at[1] + 5), at[0]);
    }

    void hexBytes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("pairs") << "0D 0A" << true << QByteArray("\r\n");
        QTest::newRow("joined, lower case") << "0d0a" << true << QByteArray("\r\n");
        QTest::newRow("blanks around") << "  41   42 " << true << QByteArray("AB");
        QTest::newRow("half a byte") << "0D 0" << false << QByteArray();
        QTest::newRow("a blank inside a pair") << "0 D" << false << QByteArray();
        QTest::newRow("not hex") << "0G" << false << QByteArray();
        QTest::newRow("empty") << " " << false << QByteArray();
    }
    void hexBytes()
    {
        QFETCH(QString, typed);
        QFETCH(bool, valid);
        QFETCH(QByteArray, bytes);
        const std::optional<QByteArray> parsed = ParseHexBytes(typed);
        QCOMPARE(parsed.has_value(), valid);
        if (valid)
            QCOMPARE(*parsed, bytes);
    }

    void bytesInEachNotation()
    {
        QCOMPARE(InNotation("\r\n", ReceivedTexts::Hex), QByteArray("0D 0A"));
        QCOMPARE(InNotation("A\x01", ReceivedTexts::Bin), QByteArray("0100000100000001"));
        QCOMPARE(InNotation(QByteArray("\0\xFF", 2), ReceivedTexts::Chr), QByteArray("\0\xFF", 2));
    }
};

QTEST_APPLESS_MAIN(tst_TextSearch)
#include "tst_TextSearch.moc"
