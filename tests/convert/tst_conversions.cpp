#include "convert/Conversions.h"

#include <QTest>

using namespace modZEMO;

class tst_conversions : public QObject {
    Q_OBJECT

private slots:
    void byteTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("binary");
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("zero") << 0 << QByteArray("00000000") << QByteArray("00");
        QTest::newRow("LF") << 10 << QByteArray("00001010") << QByteArray("0A");
        QTest::newRow("CR") << 13 << QByteArray("00001101") << QByteArray("0D");
        QTest::newRow("15") << 15 << QByteArray("00001111") << QByteArray("0F");
        QTest::newRow("16") << 16 << QByteArray("00010000") << QByteArray("10");
        QTest::newRow("A") << 65 << QByteArray("01000001") << QByteArray("41");
        QTest::newRow("128") << 128 << QByteArray("10000000") << QByteArray("80");
        QTest::newRow("255") << 255 << QByteArray("11111111") << QByteArray("FF");
    }
    void byteTexts()
    {
        QFETCH(int, code);
        QFETCH(QByteArray, binary);
        QFETCH(QByteArray, hex);
        QCOMPARE(CharToBinary(static_cast<char>(code)), binary);
        QCOMPARE(CharToHex(static_cast<char>(code)), hex);
    }

    void getBitChar_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("expected");
        QTest::newRow("48 bit 4") << 48 << 4 << "1";
        QTest::newRow("48 bit 5") << 48 << 5 << "1";
        QTest::newRow("48 bit 6") << 48 << 6 << "0";
        QTest::newRow("48 bit 7") << 48 << 7 << "0";
        QTest::newRow("128 bit 7") << 128 << 7 << "1";
        QTest::newRow("1 bit 0") << 1 << 0 << "1";
        QTest::newRow("1 at 9 is bit 0") << 1 << 9 << "1";
        QTest::newRow("2 at 9 is bit 0") << 2 << 9 << "0";
        QTest::newRow("1 at -1 is bit 0") << 1 << -1 << "1";
        QTest::newRow("256") << 256 << 0 << "";
        QTest::newRow("-1") << -1 << 3 << "";
    }
    void getBitChar()
    {
        QFETCH(int, value);
        QFETCH(int, position);
        QFETCH(QString, expected);
        QCOMPARE(GetBitChar(value, static_cast<int16_t>(position)), expected);
    }

    void nibbleToHexDigit_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0") << 0 << "0";
        QTest::newRow("9") << 9 << "9";
        QTest::newRow("10") << 10 << "A";
        QTest::newRow("15") << 15 << "F";
        QTest::newRow("16") << 16 << "";
        QTest::newRow("-1") << -1 << "";
    }
    void nibbleToHexDigit()
    {
        QFETCH(int, value);
        QFETCH(QString, expected);
        QCOMPARE(NibbleToHexDigit(static_cast<int16_t>(value)), expected);
    }

    void hexDigitValue_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("9") << "9" << 9;
        QTest::newRow("a") << "a" << 10;
        QTest::newRow("f") << "f" << 15;
        QTest::newRow("upper F") << "F" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("two chars") << "0a" << 0;
        QTest::newRow("g") << "g" << 0;
    }
    void hexDigitValue()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(HexDigitValue(text), expected);
    }
};

QTEST_GUILESS_MAIN(tst_conversions)
#include "tst_conversions.moc"
