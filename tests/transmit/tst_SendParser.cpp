#include "transmit/SendParser.h"
#include "transmit/TrimSpaces.h"

#include <QtTest>

using modZEMO::BuildPayload;
using modZEMO::SendRefusal;

namespace {
constexpr int Hex = 0, Dec = 1, Bin = 2, Char = 3;
const QString HexDigits = QStringLiteral("Use only HEX digits (0...9, a...f).");
const QString EvenDigits = QStringLiteral("You must enter an even number of hex digits.");
const QString NotDecimal = QStringLiteral("You must enter an integer decimal value.");
const QString DecRange = QStringLiteral("You must enter an integer decimal value between 0-255.");
const QString NotBinary = QStringLiteral("You must enter a binary value");
const QString NotWholeBytes = QStringLiteral("The number of bits is not a multiple of 8");
const QString NotOneByteChars = QStringLiteral("Use only characters with codes 0...255.");
}

// The typed text goes through the same trimming as in the window.
class tst_SendParser : public QObject {
    Q_OBJECT

private slots:
    void accepted_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("notation");
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
        QFETCH(int, notation);
        QFETCH(bool, cr);
        QFETCH(bool, lf);
        QFETCH(QByteArray, bytes);
        const auto result = BuildPayload(modZEMO::TrimSpaces(typed), notation, cr, lf);
        if (const auto* refusal = std::get_if<SendRefusal>(&result))
            QFAIL(qPrintable("refused: " + refusal->message));
        QCOMPARE(std::get<QByteArray>(result), bytes);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("notation");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("focusSendData");
        QTest::newRow("hex space inside") << "4 1" << Hex << HexDigits << true;
        QTest::newRow("hex tab kept") << "\t41 " << Hex << HexDigits << true;
        QTest::newRow("hex g") << "0g" << Hex << HexDigits << true;
        QTest::newRow("hex bad before odd") << "ABx" << Hex << HexDigits << true;
        QTest::newRow("hex fullwidth A") << QString::fromUtf8("\xEF\xBC\xA1" "0") << Hex << HexDigits << true;
        QTest::newRow("hex odd") << "ABC" << Hex << EvenDigits << false;
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
        QTest::newRow("bin bad before count") << "012" << Bin << NotBinary << true;
        QTest::newRow("char beyond one byte") << QString::fromUtf8("A\xE2\x82\xAC") << Char << NotOneByteChars << true;
    }

    void refused()
    {
        QFETCH(QString, typed);
        QFETCH(int, notation);
        QFETCH(QString, message);
        QFETCH(bool, focusSendData);
        const auto result = BuildPayload(modZEMO::TrimSpaces(typed), notation, true, true);
        QVERIFY(std::holds_alternative<SendRefusal>(result));
        QCOMPARE(std::get<SendRefusal>(result).message, message);
        QCOMPARE(std::get<SendRefusal>(result).focusSendData, focusSendData);
    }
};

QTEST_GUILESS_MAIN(tst_SendParser)
#include "tst_SendParser.moc"
