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

class tst_SendParser : public QObject {
    Q_OBJECT

private slots:
    void accepted_data();
    void accepted();
    void refused_data();
    void refused();
    void noNotationSelectedIsSilent();
    void longTextsGoOutWhole();
    void trimRemovesSpacesOnly();
};

void tst_SendParser::accepted_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("notation");
    QTest::addColumn<bool>("cr");
    QTest::addColumn<bool>("lf");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("hex 41 padded") << modZEMO::TrimSpaces("  41  ") << Hex << false << false << QByteArray("\x41");
    QTest::newRow("hex FF00") << "FF00" << Hex << false << false << QByteArray("\xFF\x00", 2);
    QTest::newRow("hex 0a") << "0a" << Hex << false << false << QByteArray("\x0A");
    QTest::newRow("hex 0A") << "0A" << Hex << false << false << QByteArray("\x0A");
    QTest::newRow("hex 0aFF") << "0aFF" << Hex << false << false << QByteArray("\x0A\xFF");
    QTest::newRow("hex ignores CR/LF") << "41" << Hex << true << true << QByteArray("\x41");
    QTest::newRow("dec 255") << "255" << Dec << false << false << QByteArray("\xFF");
    QTest::newRow("dec 12 space") << modZEMO::TrimSpaces("12 ") << Dec << false << false << QByteArray("\x0C");
    QTest::newRow("dec 007") << "007" << Dec << false << false << QByteArray("\x07");
    QTest::newRow("dec 0") << "0" << Dec << false << false << QByteArray(1, '\0');
    QTest::newRow("dec many leading zeros") << "0000000000000000000000000255" << Dec << false << false << QByteArray("\xFF");
    QTest::newRow("dec ignores CR/LF") << "65" << Dec << true << true << QByteArray("A");
    QTest::newRow("bin 01000001") << "01000001" << Bin << false << false << QByteArray("\x41");
    QTest::newRow("bin two bytes") << "0100000101000010" << Bin << false << false << QByteArray("\x41\x42");
    QTest::newRow("bin 11111111") << "11111111" << Bin << true << false << QByteArray("\xFF");
    QTest::newRow("char AT CR LF") << "AT" << Char << true << true << QByteArray("AT\r\n");
    QTest::newRow("char AT LF") << "AT" << Char << false << true << QByteArray("AT\n");
    QTest::newRow("char AT CR") << "AT" << Char << true << false << QByteArray("AT\r");
    QTest::newRow("char AT") << "AT" << Char << false << false << QByteArray("AT");
    QTest::newRow("char Latin-1 and tab") << QString::fromUtf8("\xC3\xA9\t\xC3\xBF") << Char << false << false
                                          << QByteArray("\xE9\t\xFF");
    QTest::newRow("char zero byte") << QString(QChar(0)) + "A" << Char << false << false << QByteArray("\0A", 2);
    QTest::newRow("char lower-case reset") << "reset" << Char << false << false << QByteArray("reset");
}

void tst_SendParser::accepted()
{
    QFETCH(QString, typed);
    QFETCH(int, notation);
    QFETCH(bool, cr);
    QFETCH(bool, lf);
    QFETCH(QByteArray, bytes);

    const auto result = BuildPayload(typed, notation, cr, lf);
    if (const auto* refusal = std::get_if<SendRefusal>(&result))
        QFAIL(qPrintable("refused: " + refusal->message));
    QCOMPARE(std::get<QByteArray>(result), bytes);
}

void tst_SendParser::refused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("notation");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("focusSendData");

    QTest::newRow("hex 4 space 1") << "4 1" << Hex << HexDigits << true;
    QTest::newRow("hex g") << "0g" << Hex << HexDigits << true;
    QTest::newRow("hex RESET") << "RESET" << Hex << HexDigits << true;
    QTest::newRow("hex bad before odd") << "ABx" << Hex << HexDigits << true;
    QTest::newRow("hex fullwidth A") << QString::fromUtf8("\xEF\xBC\xA1" "0") << Hex << HexDigits << true;
    QTest::newRow("hex ABC") << "ABC" << Hex << EvenDigits << false;
    QTest::newRow("dec 256") << "256" << Dec << DecRange << true;
    QTest::newRow("dec 300x") << "300x" << Dec << DecRange << true;
    QTest::newRow("dec 1e3") << "1e3" << Dec << DecRange << true;
    QTest::newRow("dec 3 00") << "3 00" << Dec << DecRange << true;
    QTest::newRow("dec 255.5") << "255.5" << Dec << DecRange << true;
    QTest::newRow("dec huge exponent") << "1e99999" << Dec << DecRange << true;
    QTest::newRow("dec 2x") << "2x" << Dec << NotDecimal << true;
    QTest::newRow("dec -1") << "-1" << Dec << NotDecimal << true;
    QTest::newRow("dec 1 2") << "1 2" << Dec << NotDecimal << true;
    QTest::newRow("dec 2e1") << "2e1" << Dec << NotDecimal << true;
    QTest::newRow("dec 25e") << "25e" << Dec << NotDecimal << true;
    QTest::newRow("dec 255.0") << "255.0" << Dec << NotDecimal << true;
    QTest::newRow("dec empty") << "" << Dec << NotDecimal << true;
    QTest::newRow("bin seven digits") << "0100000" << Bin << NotWholeBytes << true;
    QTest::newRow("bin 0120") << "0120" << Bin << NotBinary << true;
    QTest::newRow("bin bad before count") << "012" << Bin << NotBinary << true;
    QTest::newRow("char beyond one byte") << QString::fromUtf8("A\xE2\x82\xAC") << Char << NotOneByteChars << true;
}

void tst_SendParser::refused()
{
    QFETCH(QString, typed);
    QFETCH(int, notation);
    QFETCH(QString, message);
    QFETCH(bool, focusSendData);

    const auto result = BuildPayload(typed, notation, true, true);
    QVERIFY(std::holds_alternative<SendRefusal>(result));
    QCOMPARE(std::get<SendRefusal>(result).message, message);
    QCOMPARE(std::get<SendRefusal>(result).focusSendData, focusSendData);
}

void tst_SendParser::noNotationSelectedIsSilent()
{
    const auto result = BuildPayload("41", -1, false, false);
    QVERIFY(std::holds_alternative<SendRefusal>(result));
    QVERIFY(std::get<SendRefusal>(result).message.isEmpty());
}

void tst_SendParser::longTextsGoOutWhole()
{
    QString hex;
    QByteArray expected;
    for (int i = 0; i < 300; ++i) {
        hex += QString::asprintf("%02X", i % 256);
        expected.append(static_cast<char>(i % 256));
    }
    QCOMPARE(std::get<QByteArray>(BuildPayload(hex, Hex, false, false)), expected);

    const QString text(500, u'x');
    QCOMPARE(std::get<QByteArray>(BuildPayload(text, Char, true, true)), QByteArray(500, 'x') + "\r\n");

    const QString bits = QString("01010101").repeated(150);
    QCOMPARE(std::get<QByteArray>(BuildPayload(bits, Bin, false, false)), QByteArray(150, 0x55));
}

void tst_SendParser::trimRemovesSpacesOnly()
{
    QCOMPARE(modZEMO::TrimSpaces("   "), QString());
    QCOMPARE(modZEMO::TrimSpaces("  a b  "), QString("a b"));
    QCOMPARE(modZEMO::TrimSpaces("\t41 "), QString("\t41"));
}

QTEST_GUILESS_MAIN(tst_SendParser)
#include "tst_SendParser.moc"
