#include "session/ChoiceFile.h"
#include "support/TestConfigDir.h"
#include "transmit/Answers.h"
#include "transmit/LineBacklog.h"
#include "transmit/Macros.h"

#include <QtTest>

using modZEMO::AnswerMatcher;

class tst_SendingLogic : public QObject {
    Q_OBJECT

private slots:
    // Pieces as the ticks read them; each match counted once, in the order the matches end.
    void matchesAcrossPieces_data()
    {
        QTest::addColumn<QList<QByteArray>>("patterns");
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<QList<int>>("matched");
        QTest::newRow("split over three pieces") << QList<QByteArray>{"PING"} << QList<QByteArray>{"xP", "I", "NGy"}
                                                 << QList<int>{0};
        QTest::newRow("no overlap within a pattern") << QList<QByteArray>{"aa"} << QList<QByteArray>{"aaa", "a"}
                                                     << QList<int>{0, 0};
        QTest::newRow("a match's bytes not used again") << QList<QByteArray>{"abab"}
                                                        << QList<QByteArray>{"ababab"} << QList<int>{0};
        QTest::newRow("two rules, by where they end") << QList<QByteArray>{"OK\r", "ER"}
                                                      << QList<QByteArray>{"ERR OK", "\rER"} << QList<int>{1, 0, 1};
        QTest::newRow("an empty pattern matches nothing") << QList<QByteArray>{""} << QList<QByteArray>{"abc"}
                                                          << QList<int>{};
    }
    void matchesAcrossPieces()
    {
        QFETCH(QList<QByteArray>, patterns);
        QFETCH(QList<QByteArray>, pieces);
        AnswerMatcher matcher(patterns);
        QList<int> matched;
        for (const QByteArray& piece : pieces)
            matched += matcher.Feed(piece);
        QTEST(matched, "matched");
    }

    // 8N1 at 9600 bit/s moves 0.96 bytes a millisecond.
    void lineBacklog()
    {
        modZEMO::LineBacklog line(9600, modZEMO::FrameBits(8, false, 0));
        line.Sent(96, 1000);
        QCOMPARE(line.FreeAt(), 1100);
        QCOMPARE(line.Pending(1050), 48);
        QCOMPARE(line.Room(1050, 100), 52);
        line.Sent(10, 2000); // an idle line starts from now
        QCOMPARE(line.Pending(2000), 10);
    }

    void savedAndRead()
    {
        TestConfigDir config;
        modZEMO::Macros macros;
        macros[11] = {"Reset", "ATZ", int(modZEMO::TransmitDataType::Char), true, false};
        const modZEMO::Answers answers{true, {{"4f4b", true, "0d", 0, false, false, 250}}};
        QVariantMap choices;
        modZEMO::SaveMacros(choices, macros);
        modZEMO::SaveAnswers(choices, answers);
        session::ChoiceFile(true).Save(choices);
        const QVariantMap saved = session::ChoiceFile(true).Load();
        QVERIFY(modZEMO::LoadMacros(saved) == macros);
        QVERIFY(modZEMO::LoadAnswers(saved) == answers);
        QCOMPARE(modZEMO::MacroCaption(macros, 0), QString("F1"));
        QCOMPARE(modZEMO::PatternBytes(answers.rules[0]), QByteArray("OK"));
    }
};

QTEST_MAIN(tst_SendingLogic)
#include "tst_SendingLogic.moc"
