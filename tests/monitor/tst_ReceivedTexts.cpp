#include "monitor/ReceivedTexts.h"
#include "monitor/TickCounter.h"
#include "support/reference/ReferenceTexts.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <limits>

namespace {

// Compares every notation's text, its lines and the positions in it with
// the three-text model.
void CompareWithReference(const ReceivedTexts& model, const ReferenceTexts& reference, bool everyOffset)
{
    for (int format = ReceivedTexts::Bin; format <= ReceivedTexts::Chr; ++format) {
        const NotationText& text = *model.Text(format);
        const LineText& expected = reference.Text(format);
        QCOMPARE(text.Whole(), expected.Bytes());
        QCOMPARE(text.LineCount(), expected.LineCount());
        QCOMPARE(text.LongestLine(), expected.LongestLine());
        const qsizetype lines = expected.LineCount();
        for (qsizetype line = 0; line < lines; line += everyOffset ? 1 : 1 + lines / 97) {
            QCOMPARE(text.LineStart(line), expected.LineStart(line));
            QCOMPARE(text.LineLength(line), expected.LineLength(line));
        }
        const qsizetype size = expected.Size();
        for (qsizetype at = 0; at <= size; at += everyOffset ? 1 : 1 + size / 211) {
            QCOMPARE(text.LineOf(at), expected.LineOf(at));
            const qsizetype to = std::min(size, at + 40);
            QCOMPARE(text.Slice(at, to), expected.Bytes().mid(at, to - at));
        }
    }
}

// A script: "A<n>[t]:<bytes>" appends (t: two-port operation), "R<n>" re-breaks, "C" clears.
void Play(const QList<QByteArray>& script, ReceivedTexts& model, ReferenceTexts& reference, int32_t& stamp)
{
    for (const QByteArray& step : script) {
        const qsizetype colon = step.indexOf(':');
        const bool twoPort = colon > 0 && step.at(colon - 1) == 't';
        const int n = step.mid(1, colon < 0 ? -1 : colon - 1 - twoPort).toInt();
        if (step.startsWith('A')) {
            model.Append(step.mid(colon + 1), n, twoPort, stamp);
            reference.Append(step.mid(colon + 1), n, twoPort, stamp);
            stamp += 7;
        } else if (step.startsWith('R')) {
            model.Reflow(n);
            reference.Reflow(n);
        } else {
            model.Clear();
            reference.Clear();
        }
    }
}

}

class tst_ReceivedTexts : public QObject {
    Q_OBJECT

private slots:
    // Compared after every step; where a text is given, both models must give it at the end.
    void sameTextsAsThreeTextModel_data()
    {
        QTest::addColumn<QList<QByteArray>>("script");
        QTest::addColumn<int>("format");
        QTest::addColumn<QByteArray>("text");
        const auto row = [](const char* name, const QList<QByteArray>& script, int format = 0, const QByteArray& text = {}) {
            QTest::newRow(name) << script << format << text;
        };
        row("Bin", {"A4:ABCDE"}, 0, "01000001010000100100001101000100\r\n00000001234ms: 01000101");
        row("Hex", {"A4:ABCDE"}, 1, "41 42 43 44 \r\n00000001234ms: 45 ");
        row("Chr", {"A4:ABCDE"}, 2, "ABCD\r\n00000001234ms: E");
        row("re-break: line ends go", {"A0:AB\r\nCD\r\nEFG", "R3"}, 2, "ABC\r\nDEF\r\nG");
        row("re-break: pair at the start", {"A0:\r\nAB", "R1"}, 2, "A\r\nB");
        row("re-break: pairs brought together", {"A0:A\r\r\n\nB", "R0"}, 2, "AB");
        row("re-break: lone CR and LF stay", {"A0:\rA\n\n\r", "R2"}, 2, "\rA\r\n\n\n\r\n\r");
        row("re-break: stamps count", {"A4:ABCDEF", "R8"}, 2, "ABCD0000\r\n0001234m\r\ns: EF");
        row("n = 0, one port", {"A0:OK\r\nAT\r\nx", "A0:\r", "A0:\n"});
        row("n = 1", {"A1:AB\r\n", "A1:C"});
        row("two-port stamps after CR LF", {"A0t:OK\r\n", "A0t:\r", "A0t:\nX\r\n\r\n"});
        row("forced break on a received CR LF", {"A4t:AB\r\n", "A4t:\r\n\r\n"});
        row("begins with CR LF", {"A3:\r\nAB", "R2", "A2:\r\n"});
        row("re-break strips nested pairs", {"A0:A\r\r\n\nB\r\r\r\n", "R3", "A3:\n\n\n\r", "R1"});
        row("CR before re-break, LF after", {"A0t:xy\r", "R2", "A0t:\nz", "R0", "A5:\n"});
        row("pairs joined across stamps", {"A1:\r\r", "A1:\n\n", "R0", "A2:\r\n\r", "R4"});
        row("stamps cut by width", {"A4:ABCDEFG", "R2", "A2:HI", "R7", "R0"});
        row("shorter than width", {"A0:AB", "R5", "A0:C"});
        row("clear between", {"A2:ABC", "C", "A2:XYZ", "R1", "C", "R3"});
        row("n changed without re-break", {"A8:ABCDEF", "A3:GHIJ", "A0:K", "A2:LM"});
        row("empty re-breaks", {"R4", "A0:", "R0", "A4:\n"});
    }

    void sameTextsAsThreeTextModel()
    {
        QFETCH(QList<QByteArray>, script);
        ReceivedTexts model;
        ReferenceTexts reference;
        int32_t stamp = 1234;
        for (qsizetype step = 1; step <= script.size(); ++step) {
            Play(script.mid(step - 1, 1), model, reference, stamp);
            CompareWithReference(model, reference, true);
        }
        QFETCH(int, format);
        QFETCH(QByteArray, text);
        if (!text.isEmpty())
            QCOMPARE(model.Text(format)->Whole(), text);
    }

    void longRandomRunMatches_data()
    {
        QTest::addColumn<QByteArray>("alphabet");
        QTest::addColumn<bool>("twoPort");
        QTest::newRow("line ends, one port") << QByteArray("\r\n\r\nAB") << false;
        QTest::newRow("line ends, two ports") << QByteArray("\r\n\r\nA") << true;
        QTest::newRow("all bytes, two ports") << QByteArray() << true;
    }

    void longRandomRunMatches()
    {
        QFETCH(QByteArray, alphabet);
        QFETCH(bool, twoPort);
        QRandomGenerator random(7);
        ReceivedTexts model;
        ReferenceTexts reference;
        int32_t stamp = 0;
        int n = 0;
        for (int step = 0; step < 3000; ++step) {
            const quint32 choice = random.bounded(100);
            if (choice < 4) {
                n = int(random.bounded(20));
                Play({"R" + QByteArray::number(n)}, model, reference, stamp);
            } else {
                QByteArray data(qsizetype(random.bounded(120)), Qt::Uninitialized);
                for (char& byte : data)
                    byte = alphabet.isEmpty() ? char(random.bounded(256)) : alphabet.at(random.bounded(alphabet.size()));
                Play({"A" + QByteArray::number(n) + (twoPort ? "t:" : ":") + data}, model, reference, stamp);
            }
            if (step % 250 == 0 || step == 2999)
                CompareWithReference(model, reference, false);
        }
    }

    // The stamps' clock: the count follows the clock in 10 ms units from where it was set, and
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

QTEST_APPLESS_MAIN(tst_ReceivedTexts)
#include "tst_ReceivedTexts.moc"
