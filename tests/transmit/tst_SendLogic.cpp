#include "transmit/RecallKeys.h"
#include "transmit/SendHistory.h"
#include "transmit/SendParser.h"
#include "transmit/TrimSpaces.h"

#include <QtTest>

using modZEMO::BuildPayload;
using modZEMO::SendRefusal;
using modZEMO::TransmitDataType;
using enum TransmitDataType;

namespace {
const QString HexDigits = QStringLiteral("Use only HEX digits (0...9, a...f).");
const QString NotDecimal = QStringLiteral("You must enter an integer decimal value.");
const QString NotWholeBytes = QStringLiteral("The number of bits is not a multiple of 8");
const QString NotOneByteChars = QStringLiteral("Use only characters with codes 0...255.");
const QString DecRange = QStringLiteral("You must enter an integer decimal value between 0-255.");

QStringList Numbers(int count)
{
    QStringList texts;
    for (int i = 1; i <= count; ++i)
        texts << QString::number(i);
    return texts;
}

int KeyOf(QChar letter)
{
    const QHash<QChar, int> keys{{u'U', Qt::Key_Up}, {u'D', Qt::Key_Down}, {u'E', Qt::Key_Return}};
    return keys.value(letter.toUpper(), Qt::Key_Home);
}

}

class tst_SendLogic : public QObject {
    Q_OBJECT

private slots:
    // The typed text goes through the same trimming as in the window.
    void accepted_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<TransmitDataType>("notation");
        QTest::addColumn<bool>("cr");
        QTest::addColumn<bool>("lf");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("hex, CR LF ignored") << "  0aFF00 " << Hex << true << true << QByteArray("\x0A\xFF\x00", 3);
        QTest::newRow("dec 0") << "0" << Dec << false << false << QByteArray(1, '\0');
        QTest::newRow("dec, CR LF ignored") << "255" << Dec << true << true << QByteArray("\xFF");
        QTest::newRow("dec leading zeros") << "0000000000000000000000000255" << Dec << false << false << QByteArray("\xFF");
        QTest::newRow("bin, CR ignored") << "0100000101000010" << Bin << true << false << QByteArray("AB");
        QTest::newRow("char CR LF") << "AT" << Char << true << true << QByteArray("AT\r\n");
        QTest::newRow("char LF") << "AT" << Char << false << true << QByteArray("AT\n");
        QTest::newRow("char zero, Latin-1, tab") << QString(QChar(0)) + QString::fromUtf8("\xC3\xA9\t\xC3\xBF") << Char << false
                                                 << false << QByteArray("\0\xE9\t\xFF", 4);
    }

    void accepted()
    {
        QFETCH(QString, typed);
        QFETCH(TransmitDataType, notation);
        QFETCH(bool, cr);
        QFETCH(bool, lf);
        QFETCH(QByteArray, bytes);
        const auto result = BuildPayload(modZEMO::TrimSpaces(typed), int(notation), cr, lf);
        if (const auto* refusal = std::get_if<SendRefusal>(&result))
            QFAIL(qPrintable("refused: " + refusal->message));
        QCOMPARE(std::get<QByteArray>(result), bytes);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<TransmitDataType>("notation");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("focusSendData");
        QTest::newRow("hex space inside") << "4 1" << Hex << HexDigits << true;
        QTest::newRow("hex tab kept") << "\t41 " << Hex << HexDigits << true;
        QTest::newRow("hex g") << "0g" << Hex << HexDigits << true;
        QTest::newRow("hex bad before odd") << "ABx" << Hex << HexDigits << true;
        QTest::newRow("hex fullwidth A") << QString::fromUtf8("\xEF\xBC\xA1" "0") << Hex << HexDigits << true;
        QTest::newRow("hex odd") << "ABC" << Hex << QString("You must enter an even number of hex digits.") << false;
        // A text that is not a number gets the range message when it starts with one above 255.
        QTest::newRow("dec 256") << "256" << Dec << DecRange << true;
        QTest::newRow("dec 300x") << "300x" << Dec << DecRange << true;
        QTest::newRow("dec 1e3") << "1e3" << Dec << DecRange << true;
        QTest::newRow("dec 3 00") << "3 00" << Dec << DecRange << true;
        QTest::newRow("dec 255.5") << "255.5" << Dec << DecRange << true;
        QTest::newRow("dec huge exponent") << "1e99999" << Dec << DecRange << true;
        QTest::newRow("dec 2x") << "2x" << Dec << NotDecimal << true;
        QTest::newRow("dec -1") << "-1" << Dec << NotDecimal << true;
        QTest::newRow("bin seven digits") << "0100000" << Bin << NotWholeBytes << true;
        QTest::newRow("bin bad before count") << "012" << Bin << QString("You must enter a binary value") << true;
        QTest::newRow("char beyond one byte") << QString::fromUtf8("A\xE2\x82\xAC") << Char << NotOneByteChars << true;
    }

    void refused()
    {
        QFETCH(QString, typed);
        QFETCH(TransmitDataType, notation);
        QFETCH(QString, message);
        QFETCH(bool, focusSendData);
        const auto result = BuildPayload(modZEMO::TrimSpaces(typed), int(notation), true, true);
        QVERIFY(std::holds_alternative<SendRefusal>(result));
        QCOMPARE(std::get<SendRefusal>(result).message, message);
        QCOMPARE(std::get<SendRefusal>(result).focusSendData, focusSendData);
    }

    // Keys: U(p), D(own), E(nter), H(ome); upper case goes down, lower case
    // comes up, ~ marks auto-repeat. Each key has an effect: "=text" (shown
    // by a recall), "send", "end" (the caret goes to the end) or "-".
    void keys_data()
    {
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("effects");
        QTest::addColumn<int>("recallIndex");
        QTest::addColumn<int>("historyIndex");
        const QStringList three{"41", "42", "43"};
        QTest::newRow("up up down down") << three << "U u U u D d D d"
                                         << QStringList{"=43", "end", "=42", "end", "=43", "end", "=", "end"} << 4 << 3;
        QTest::newRow("up before any send") << QStringList() << "U" << QStringList{"="} << 99 << 0;
        QTest::newRow("down before any send") << QStringList() << "D" << QStringList{"="} << 1 << 0;
        QTest::newRow("up past the oldest") << QStringList{"41"} << "U u U" << QStringList{"=41", "end", "="} << 99 << 1;
        QTest::newRow("held up acts once") << QStringList{"41", "4243"} << "U u~ U~ u~ U~ u"
                                           << QStringList{"=4243", "-", "-", "-", "-", "end"} << 2 << 2;
        QTest::newRow("enter while up is held") << QStringList{"41"} << "U E e~ u E"
                                                << QStringList{"=41", "-", "-", "end", "send"} << 3 << 2;
        QTest::newRow("other key ends the hold") << QStringList{"41", "4243"} << "U H h u U"
                                                 << QStringList{"=4243", "-", "-", "-", "=41"} << 1 << 2;
        QTest::newRow("recalled text sent again") << QStringList{"41", "42"} << "U u U u E e U u U u U"
                                                  << QStringList{"=42", "end", "=41", "end", "send", "-", "=41", "end", "=42", "end", "=41"} << 1 << 3;
        QTest::newRow("99 sends, up") << Numbers(99) << "U" << QStringList{"=99"} << 99 << 99;
        QTest::newRow("99 sends, down") << Numbers(99) << "D" << QStringList{"=1"} << 1 << 99;
        QTest::newRow("100th send takes entry 1") << Numbers(100) << "U u U" << QStringList{"=100", "end", "=99"} << 99 << 1;
        QTest::newRow("kept to 100 characters") << QStringList{QString(99, u'x') + "bc"} << "U"
                                                << QStringList{"=" + QString(99, u'x') + "b"} << 1 << 1;
    }

    void keys()
    {
        QFETCH(QStringList, sent);
        QFETCH(QString, keys);
        QFETCH(QStringList, effects);
        QFETCH(int, recallIndex);
        QFETCH(int, historyIndex);
        modZEMO::SendHistory = {};
        RecallKeys recall;
        for (const QString& text : sent)
            recall.Store(text);
        QString box;
        QStringList seen;
        for (const QString& key : keys.split(u' ')) {
            if (key.at(0).isLower()) {
                seen << (recall.KeyUp(KeyOf(key.at(0)), key.endsWith(u'~')) ? "end" : "-");
                continue;
            }
            switch (recall.KeyDown(KeyOf(key.at(0)))) {
            case RecallKeys::Action::Send: recall.Store(box); seen << "send"; break;
            case RecallKeys::Action::ShowRecalled: box = recall.Recalled(); seen << "=" + box; break;
            case RecallKeys::Action::None: seen << "-"; break;
            }
        }
        QCOMPARE(seen, effects);
        QCOMPARE(recall.RecallIndex(), recallIndex);
        QCOMPARE(recall.HistoryIndex(), historyIndex);
    }
};

QTEST_GUILESS_MAIN(tst_SendLogic)
#include "tst_SendLogic.moc"
