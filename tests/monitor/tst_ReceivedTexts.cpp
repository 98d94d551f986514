#include "monitor/ReceivedTexts.h"
#include "monitor/StampWriter.h"
#include "monitor/TickCounter.h"
#include "support/reference/ReferenceTexts.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <ctime>
#include <limits>

namespace {

constexpr int32_t Day = 86'400'000;

constexpr int32_t TimeOfDay(int hours, int minutes, int seconds, int ms)
{
    return ((hours * 60 + minutes) * 60 + seconds) * 1000 + ms;
}

void CompareWithReference(ReceivedTexts& model, const ReferenceTexts& reference, bool everyOffset)
{
    for (const StampKind kind : {StampKind::TimeOfDay, StampKind::SinceConnect, StampKind::SincePreviousLine, StampKind::Ticks}) {
        model.SetStampKind(kind);
        for (int format = ReceivedTexts::Bin; format <= ReceivedTexts::Chr; ++format) {
            const NotationText& text = *model.Text(format);
            const LineText& expected = reference.Text(format, kind);
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
}

// The clocks a script reads, at first the written example's moment: tick
// 1234, 12.345 s after the connect, 14:03:07.123.
struct ScriptClock {
    modZEMO::StampMoment now{1234, TimeOfDay(14, 3, 7, 123), 12345};
    void Advance(int64_t ms)
    {
        now.sinceConnect += ms;
        now.ticks = int32_t(now.sinceConnect / 10);
        now.timeOfDay = int32_t((now.timeOfDay + ms) % Day);
    }
};

// "A<n>[t][e][p<ms>]": n bytes per line; t two-port operation, e Stamp
// Every Line, p a new line after that pause.
LineRules RulesOf(const QByteArray& head)
{
    static const QRegularExpression form(QStringLiteral("^A(\\d+)(t?)(e?)(?:p(\\d+))?$"));
    const QRegularExpressionMatch m = form.match(QString::fromLatin1(head));
    return LineRules{m.captured(1).toInt(), m.capturedLength(2) > 0, m.capturedLength(3) > 0, m.captured(4).toInt()};
}

// A script: "A<n><flags>:<bytes>" appends, read 70 ms after the read before;
// "Q<ms>" lets the line be quiet that much longer before the next read;
// "W<ms>" sets the wall clock to that time of day; "R<n>" re-breaks, "C" clears.
void Play(const QList<QByteArray>& script, ReceivedTexts& model, ReferenceTexts& reference, ScriptClock& clock)
{
    for (const QByteArray& step : script) {
        const int value = step.mid(1).toInt();
        switch (step.at(0)) {
        case 'A': {
            const qsizetype colon = step.indexOf(':');
            const LineRules rules = RulesOf(step.left(colon));
            model.Append(step.mid(colon + 1), rules, clock.now);
            reference.Append(step.mid(colon + 1), rules, clock.now);
            clock.Advance(70);
            break;
        }
        case 'Q': clock.Advance(value); break;
        case 'W': clock.now.timeOfDay = value; break;
        case 'R':
            model.Reflow(value);
            reference.Reflow(value);
            break;
        default:
            model.Clear();
            reference.Clear();
        }
    }
}

QByteArray HashOf(const NotationText& text)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    constexpr qsizetype Block = 1 << 20;
    for (qsizetype at = 0; at < text.Size(); at += Block)
        hash.addData(text.Slice(at, at + Block));
    return hash.result();
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
        QTest::addColumn<StampKind>("kind");
        const auto row = [](const char* name, const QList<QByteArray>& script, int format = 0, const QByteArray& text = {},
                            StampKind kind = StampKind::Ticks) { QTest::newRow(name) << script << format << text << kind; };
        row("Bin", {"A4:ABCDE"}, 0, "01000001010000100100001101000100\r\n00000001234ms: 01000101");
        row("Hex", {"A4:ABCDE"}, 1, "41 42 43 44 \r\n00000001234ms: 45 ");
        row("Chr", {"A4:ABCDE"}, 2, "ABCD\r\n00000001234ms: E");
        row("Time of Day", {"A4:ABCDE"}, 2, "ABCD\r\n 14:03:07.123: E", StampKind::TimeOfDay);
        row("Since Connect", {"A4:ABCDE"}, 2, "ABCD\r\n     12.345 s: E", StampKind::SinceConnect);
        row("Since Previous Line", {"A4:AB", "Q50", "A4:CDE"}, 1, "41 42 43 44 \r\n     +0.120 s: 45 ",
            StampKind::SincePreviousLine);
        row("re-break: line ends go", {"A0:AB\r\nCD\r\nEFG", "R3"}, 2, "ABC\r\nDEF\r\nG");
        row("re-break: pair at the start", {"A0:\r\nAB", "R1"}, 2, "A\r\nB");
        row("re-break: pairs brought together", {"A0:A\r\r\n\nB", "R0"}, 2, "AB");
        row("re-break: lone CR and LF stay", {"A0:\rA\n\n\r", "R2"}, 2, "\rA\r\n\n\n\r\n\r");
        row("re-break: stamps count", {"A4:ABCDEF", "R8"}, 2, "ABCD0000\r\n0001234m\r\ns: EF");
        row("n = 0, one port", {"A0:OK\r\nAT\r\nx", "A0:\r", "A0:\n"}, 2, "OK\r\nAT\r\nx\r\n");
        row("forced break on a received CR LF", {"A4t:AB\r\n", "A4t:\r\n\r\n"});
        row("CR before re-break, LF after", {"A0t:xy\r", "R2", "A0t:\nz", "R0", "A5:\n"});
        row("clear between", {"A2:ABC", "C", "A2:XYZ", "R1", "C", "R3"});
        row("n changed without re-break", {"A8:ABCDEF", "A3:GHIJ", "A0:K", "A2:LM"});
        row("empty re-breaks", {"R4", "A0:", "R0", "A4:\n"});

        row("every line: CR LF", {"A0e:OK\r\nAT\r\n"}, 2, "OK\r\n00000001234ms: AT\r\n00000001234ms: ");
        row("every line: LF alone", {"A0e:OK\nAT\n"}, 2, "OK\n\r\n00000001234ms: AT\n\r\n00000001234ms: ");
        row("every line: the gap between lines", {"A0e:OK\r\n", "Q50", "A0e:AT\n"}, 2,
            "OK\r\n     +0.000 s: AT\n\r\n     +0.120 s: ", StampKind::SincePreviousLine);
        row("every line: CR and LF in two reads", {"A0e:OK\r", "A0e:\nX"}, 2, "OK\r\n00000001241ms: X");
        row("every line: a LF alone on a forced break", {"A3e:AB\nCD\n"}, 2,
            "AB\n\r\n00000001234ms: CD\n\r\n00000001234ms: ");
        row("every line: Bin and Hex as written", {"A0e:A\r\n"}, 1, "41 0D 0A ");

        row("pause: just below", {"A0p100:AB", "Q29", "A0p100:CD"}, 2, "ABCD");
        row("pause: at the threshold", {"A0p100:AB", "Q30", "A0p100:CD"}, 2, "AB\r\n00000001244ms: CD");
        row("pause: the byte count starts again", {"A3p100:AB", "Q30", "A3p100:CDEF"}, 1,
            "41 42 \r\n00000001244ms: 43 44 45 \r\n00000001244ms: 46 ");
        row("pause: after a received line end", {"A0p50:OK\r\n", "A0p50:OK"}, 2, "OK\r\n00000001241ms: OK");
        row("pause: after a stamped line end", {"A0ep50:OK\r\n", "A0ep50:OK"}, 2, "OK\r\n00000001234ms: OK");
        row("pause: after a forced break", {"A2p50:AB", "A2p50:CD"}, 2, "AB\r\n00000001234ms: CD\r\n00000001241ms: ");
        row("pause: after a LF alone", {"A0ep50:A\n", "A0ep50:B"}, 2, "A\n\r\n00000001234ms: B");
        row("pause: not at a re-break", {"A0p50:AB", "R0", "A0p50:CD", "A0p50:EF"}, 2, "ABCD\r\n00000001248ms: EF");
        row("pause: off", {"A0:AB", "Q1000", "A0:CD"}, 2, "ABCD");

        row("clock steps back: Time of Day shows it", {"A1:A", "W50000000", "A1:B", "A1:C"}, 2,
            "A\r\n 14:03:07.123: B\r\n 13:53:20.000: C\r\n 13:53:20.070: ", StampKind::TimeOfDay);
        row("midnight inside a capture", {"W86399950", "A1:A", "A1:B"}, 2, "A\r\n 23:59:59.950: B\r\n 00:00:00.020: ",
            StampKind::TimeOfDay);
    }

    void sameTextsAsThreeTextModel()
    {
        QFETCH(QList<QByteArray>, script);
        ReceivedTexts model;
        ReferenceTexts reference;
        ScriptClock clock;
        for (qsizetype step = 1; step <= script.size(); ++step) {
            Play(script.mid(step - 1, 1), model, reference, clock);
            CompareWithReference(model, reference, true);
        }
        QFETCH(int, format);
        QFETCH(QByteArray, text);
        QFETCH(StampKind, kind);
        model.SetStampKind(kind);
        if (!text.isEmpty())
            QCOMPARE(model.Text(format)->Whole(), text);
    }

    void longRandomRunMatches_data()
    {
        QTest::addColumn<QByteArray>("alphabet");
        QTest::addColumn<QByteArray>("flags");
        QTest::newRow("line ends, one port") << QByteArray("\r\n\r\nAB") << QByteArray();
        QTest::newRow("line ends, two ports") << QByteArray("\r\n\r\nA") << QByteArray("t");
        QTest::newRow("all bytes, two ports") << QByteArray() << QByteArray("t");
        QTest::newRow("every line, pauses") << QByteArray("\r\n\n\nAB") << QByteArray("ep100");
        QTest::newRow("every line, pauses, two ports") << QByteArray("\r\n\r\nA") << QByteArray("tep100");
    }

    void longRandomRunMatches()
    {
        QFETCH(QByteArray, alphabet);
        QFETCH(QByteArray, flags);
        QRandomGenerator random(7);
        ReceivedTexts model;
        ReferenceTexts reference;
        ScriptClock clock;
        int n = 0;
        for (int step = 0; step < 3000; ++step) {
            const quint32 choice = random.bounded(100);
            if (choice < 4) {
                n = int(random.bounded(20));
                Play({"R" + QByteArray::number(n)}, model, reference, clock);
            } else if (choice < 20) {
                Play({"Q" + QByteArray::number(random.bounded(60))}, model, reference, clock);
            } else {
                QByteArray data(qsizetype(random.bounded(120)), Qt::Uninitialized);
                for (char& byte : data)
                    byte = alphabet.isEmpty() ? char(random.bounded(256)) : alphabet.at(random.bounded(alphabet.size()));
                Play({"A" + QByteArray::number(n) + flags + ":" + data}, model, reference, clock);
            }
            if (step % 250 == 0 || step == 2999)
                CompareWithReference(model, reference, false);
        }
    }

    // Every kind is one length; beyond what its digits hold, Since Connect
    // starts again and Since Previous Line shows the longest gap it can.
    void stampTexts_data()
    {
        QTest::addColumn<StampKind>("kind");
        QTest::addColumn<qint64>("value"); // the tick count, time of day or ms since the connect
        QTest::addColumn<qint64>("previous"); // ms since the connect of the stamp before
        QTest::addColumn<QByteArray>("text");
        const auto row = [](const char* name, StampKind kind, qint64 value, qint64 previous, const char* text) {
            QTest::newRow(name) << kind << value << previous << QByteArray(text);
        };
        row("ticks, 0", StampKind::Ticks, 0, 0, "00000000000ms: ");
        row("ticks, most", StampKind::Ticks, std::numeric_limits<int32_t>::max(), 0, "02147483647ms: ");
        row("midnight", StampKind::TimeOfDay, 0, 0, " 00:00:00.000: ");
        row("just before midnight", StampKind::TimeOfDay, Day - 1, 0, " 23:59:59.999: ");
        row("at the connect", StampKind::SinceConnect, 0, 0, "      0.000 s: ");
        row("most since the connect", StampKind::SinceConnect, 9'999'999'999, 0, "9999999.999 s: ");
        row("since the connect, again from 0", StampKind::SinceConnect, 10'000'012'345, 0, "     12.345 s: ");
        row("a gap", StampKind::SincePreviousLine, 1120, 1000, "     +0.120 s: ");
        row("the longest gap", StampKind::SincePreviousLine, 1'000'000'000, 1, "+999999.999 s: ");
        row("longer than that", StampKind::SincePreviousLine, 5'000'000'000, 0, "+999999.999 s: ");
        row("a reconnect between", StampKind::SincePreviousLine, 100, 5000, "     +0.000 s: ");
    }
    void stampTexts()
    {
        QFETCH(StampKind, kind);
        QFETCH(qint64, value);
        QFETCH(qint64, previous);
        QFETCH(QByteArray, text);
        const modZEMO::StampMoment moment{int32_t(value), int32_t(value), value};
        const QByteArray written(StampWriter(kind, {0, 0, previous}).Next(moment), modZEMO::StampLength);
        QCOMPARE(written, text);
    }

    // 50 MB received: each kind changes no length and no line, and Ticks
    // again gives the written text byte for byte.
    void switchingKindsAt50MB()
    {
        constexpr int n = 16;
        constexpr qsizetype PerTick = 100;
        QByteArray data(4 << 20, Qt::Uninitialized);
        QRandomGenerator random(3);
        for (char& byte : data)
            byte = char('A' + random.bounded(26));
        ReceivedTexts model;
        const ScriptClock start;
        ScriptClock clock;
        for (qsizetype done = 0; done < 50'000'000; done += PerTick) {
            model.Append(QByteArrayView(data).sliced(done % (data.size() - PerTick), PerTick), LineRules{n}, clock.now);
            clock.Advance(10);
        }
        const NotationText& chr = *model.Text(ReceivedTexts::Chr);
        const qsizetype size = chr.Size();
        const qsizetype lines = chr.LineCount();
        const QByteArray written = HashOf(chr);
        const auto momentOfLine = [&](qsizetype line) {
            ScriptClock at = start;
            at.Advance((line * n - 1) / PerTick * 10);
            return at.now;
        };
        const qsizetype line = lines / 2;
        for (const StampKind kind : {StampKind::TimeOfDay, StampKind::SinceConnect, StampKind::SincePreviousLine, StampKind::Ticks}) {
            model.SetStampKind(kind);
            QCOMPARE(chr.Size(), size);
            QCOMPARE(chr.LineCount(), lines);
            QCOMPARE(chr.Slice(chr.LineStart(line), chr.LineStart(line) + modZEMO::StampLength),
                     ReferenceTexts::StampText(kind, momentOfLine(line), momentOfLine(line - 1)));
            QCOMPARE(HashOf(chr) == written, kind == StampKind::Ticks);
        }
    }

    // Count and time since the connect follow the monotonic clock; the time of day the wall clock, which may step back.
    void readsTheClocksItIsGiven()
    {
        qint64 monotonic = 5'000'003;
        QDateTime wall(QDate(2024, 10, 27), QTime(2, 59, 59, 990));
        modZEMO::SetClocks([&] { return monotonic; }, [&] { return wall; });
        const auto restore = qScopeGuard([] { modZEMO::SetClocks({}, {}); });
        modZEMO::SetMsCount(0);
        monotonic += 12'345;
        QCOMPARE(modZEMO::ReadStampMoment(), (modZEMO::StampMoment{1234, TimeOfDay(2, 59, 59, 990), 12'345}));
        monotonic += 20;
        wall = wall.addSecs(-3600);
        QCOMPARE(modZEMO::ReadStampMoment(), (modZEMO::StampMoment{1236, TimeOfDay(1, 59, 59, 990), 12'365}));
        QCOMPARE(modZEMO::MsCount(), 1236);
    }

    // The time of day in zones a whole hour, half an hour and 45 minutes off UTC, without a zone database.
    void timeOfDayFollowsTheZone_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::newRow("UTC") << QByteArray("UTC0");
        QTest::newRow("5:45 east") << QByteArray("XYZ-5:45");
        QTest::newRow("9:30 west") << QByteArray("ABC+9:30");
    }
    void timeOfDayFollowsTheZone()
    {
        QFETCH(QByteArray, zone);
        const QByteArray before = qgetenv("TZ");
        const auto restore = qScopeGuard([&] { qputenv("TZ", before); tzset(); });
        qputenv("TZ", zone);
        tzset();
        modZEMO::SetMsCount(0);
        const int32_t expected = QTime::currentTime().msecsSinceStartOfDay();
        const int32_t shown = modZEMO::ReadStampMoment().timeOfDay;
        const int32_t apart = std::abs(shown - expected);
        QVERIFY2(std::min(apart, Day - apart) < 1000, qPrintable(QStringLiteral("%1 against %2").arg(shown).arg(expected)));
    }

    // 10 ms units from where it was set, again from 0 after its maximum; bounded by the time measured around it.
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
