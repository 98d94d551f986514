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
    // The typed text goes through the same trimming as in the window. An
    // empty message: the bytes are sent.
    void payload_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<TransmitDataType>("notation");
        QTest::addColumn<bool>("cr");
        QTest::addColumn<bool>("lf");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("focusSendData");
        const auto sent = [](const char* name, const QString& typed, TransmitDataType notation, bool cr, bool lf,
                             const QByteArray& bytes) {
            QTest::newRow(name) << typed << notation << cr << lf << bytes << QString() << false;
        };
        const auto refused = [](const char* name, const QString& typed, TransmitDataType notation,
                                const QString& message, bool focus = true) {
            QTest::newRow(name) << typed << notation << true << true << QByteArray() << message << focus;
        };
        sent("hex, CR LF ignored", "  0aFF00 ", Hex, true, true, QByteArray("\x0A\xFF\x00", 3));
        sent("dec 0", "0", Dec, false, false, QByteArray(1, '\0'));
        sent("dec, CR LF ignored", "255", Dec, true, true, "\xFF");
        sent("dec leading zeros", "0000000000000000000000000255", Dec, false, false, "\xFF");
        sent("bin, CR ignored", "0100000101000010", Bin, true, false, "AB");
        sent("char CR LF", "AT", Char, true, true, "AT\r\n");
        sent("char LF", "AT", Char, false, true, "AT\n");
        sent("char zero, Latin-1, tab", QString(QChar(0)) + QString::fromUtf8("\xC3\xA9\t\xC3\xBF"), Char, false, false,
             QByteArray("\0\xE9\t\xFF", 4));
        refused("hex space inside", "4 1", Hex, HexDigits);
        refused("hex tab kept", "\t41 ", Hex, HexDigits);
        refused("hex g", "0g", Hex, HexDigits);
        refused("hex bad before odd", "ABx", Hex, HexDigits);
        refused("hex fullwidth A", QString::fromUtf8("\xEF\xBC\xA1" "0"), Hex, HexDigits);
        refused("hex odd", "ABC", Hex, QStringLiteral("You must enter an even number of hex digits."), false);
        // A text that is not a number gets the range message when it starts with one above 255.
        refused("dec 256", "256", Dec, DecRange);
        refused("dec 300x", "300x", Dec, DecRange);
        refused("dec 1e3", "1e3", Dec, DecRange);
        refused("dec 3 00", "3 00", Dec, DecRange);
        refused("dec 255.5", "255.5", Dec, DecRange);
        refused("dec huge exponent", "1e99999", Dec, DecRange);
        refused("dec 2x", "2x", Dec, NotDecimal);
        refused("dec -1", "-1", Dec, NotDecimal);
        refused("bin seven digits", "0100000", Bin, QStringLiteral("The number of bits is not a multiple of 8"));
        refused("bin bad before count", "012", Bin, QStringLiteral("You must enter a binary value"));
        refused("char beyond one byte", QString::fromUtf8("A\xE2\x82\xAC"), Char, QStringLiteral("Use only characters with codes 0...255."));
    }

    void payload()
    {
        QFETCH(QString, typed);
        QFETCH(TransmitDataType, notation);
        QFETCH(bool, cr);
        QFETCH(bool, lf);
        QFETCH(QString, message);
        const auto result = BuildPayload(modZEMO::TrimSpaces(typed), int(notation), cr, lf);
        const auto* refusal = std::get_if<SendRefusal>(&result);
        QCOMPARE(refusal ? refusal->message : QString(), message);
        if (refusal)
            QTEST(refusal->focusSendData, "focusSendData");
        else
            QTEST(std::get<QByteArray>(result), "bytes");
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
