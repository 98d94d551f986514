#include "monitor/ReceivedTexts.h"
#include "monitor/TextSearch.h"

#include <QTest>

using namespace textsearch;

class tst_TextSearch : public QObject {
    Q_OBJECT

private slots:
    // Matches are looked for in the text as the box shows it, stamps and line breaks included.
    void findsInTheShownText_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QByteArray>("needle");
        QTest::addColumn<bool>("found");
        QTest::addColumn<StampKind>("kind");
        const auto row = [](const char* name, int format, const QByteArray& needle, bool found = true,
                            StampKind kind = StampKind::Ticks) { QTest::newRow(name) << format << needle << found << kind; };
        row("Chr at the start and the end", ReceivedTexts::Chr, "AB");
        row("Chr across a stamp", ReceivedTexts::Chr, "D\r\n00000001234ms: A");
        row("Hex across a stamp", ReceivedTexts::Hex, "44 \r\n00000001234ms: 41");
        row("Hex bytes", ReceivedTexts::Hex, InNotation("BC", ReceivedTexts::Hex));
        row("Bin bytes, not across a stamp", ReceivedTexts::Bin, InNotation("DA", ReceivedTexts::Bin), false);
        row("nowhere", ReceivedTexts::Chr, "ABCDA", false);
        row("a stamp as shown", ReceivedTexts::Chr, "D\r\n 00:00:00.000: A", true, StampKind::TimeOfDay);
        row("not the stamp of another kind", ReceivedTexts::Chr, "00000001234ms", false, StampKind::SinceConnect);
    }
    void findsInTheShownText()
    {
        QFETCH(int, format);
        QFETCH(QByteArray, needle);
        QFETCH(StampKind, kind);
        ReceivedTexts rx;
        rx.Append("ABCDABCDAB", 4, false, 1234);
        rx.SetStampKind(kind);
        const NotationText& text = *rx.Text(format);
        const QByteArray whole = text.Whole();
        QTEST(whole.contains(needle), "found");
        const auto slice = [&text](qsizetype from, qsizetype to) { return text.Slice(from, to); };
        QCOMPARE(FindForward(text.Size(), slice, needle, 0), whole.indexOf(needle));
        QCOMPARE(FindBackward(text.Size(), slice, needle, text.Size()), whole.lastIndexOf(needle));
        if (const qsizetype first = whole.indexOf(needle); first >= 0) { // the next starts after it, one before ends before
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

    // Typed hex bytes become the pattern in the shown notation, top bit set too; empty: refused.
    void hexBytes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("format");
        QTest::addColumn<QByteArray>("pattern");
        QTest::newRow("pairs") << "0D 0A 80 ff" << int(ReceivedTexts::Hex) << QByteArray("0D 0A 80 FF");
        QTest::newRow("joined, lower case") << "0d0a" << int(ReceivedTexts::Chr) << QByteArray("\r\n");
        QTest::newRow("blanks around") << "  41   80 " << int(ReceivedTexts::Bin) << QByteArray("0100000110000000");
        QTest::newRow("binary, every bit") << "FF" << int(ReceivedTexts::Bin) << QByteArray("11111111");
        QTest::newRow("every byte as it is") << "00 FF" << int(ReceivedTexts::Chr) << QByteArray("\0\xFF", 2);
        QTest::newRow("half a byte") << "0D 0" << 0 << QByteArray();
        QTest::newRow("a blank inside a pair") << "0 D" << 0 << QByteArray();
        QTest::newRow("not hex") << "0G" << 0 << QByteArray();
        QTest::newRow("empty") << " " << 0 << QByteArray();
    }
    void hexBytes()
    {
        QFETCH(QString, typed);
        QFETCH(int, format);
        QFETCH(QByteArray, pattern);
        const std::optional<QByteArray> parsed = ParseHexBytes(typed);
        QCOMPARE(parsed.has_value(), !pattern.isEmpty());
        if (parsed)
            QCOMPARE(InNotation(*parsed, format), pattern);
    }
};

QTEST_APPLESS_MAIN(tst_TextSearch)
#include "tst_TextSearch.moc"
