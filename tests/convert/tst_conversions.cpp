#include "convert/Conversions.h"

#include <QTest>

using namespace modZEMO;

class tst_conversions : public QObject {
    Q_OBJECT

private slots:
    // A byte as the boxes show it, and bits 4 to 7 as the CTS, DSR, RI and DCD indicators show them.
    void byteTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("binary");
        QTest::addColumn<QByteArray>("hex");
        QTest::addColumn<QString>("bits4to7");
        QTest::newRow("zero") << 0 << QByteArray("00000000") << QByteArray("00") << "0000";
        QTest::newRow("LF") << 10 << QByteArray("00001010") << QByteArray("0A") << "0000";
        QTest::newRow("CTS DSR") << 0x30 << QByteArray("00110000") << QByteArray("30") << "1100";
        QTest::newRow("A") << 65 << QByteArray("01000001") << QByteArray("41") << "0010";
        QTest::newRow("DCD") << 128 << QByteArray("10000000") << QByteArray("80") << "0001";
        QTest::newRow("255") << 255 << QByteArray("11111111") << QByteArray("FF") << "1111";
    }
    void byteTexts()
    {
        QFETCH(int, code);
        QFETCH(QByteArray, binary);
        QFETCH(QByteArray, hex);
        QFETCH(QString, bits4to7);
        QCOMPARE(CharToBinary(static_cast<char>(code)), binary);
        QCOMPARE(CharToHex(static_cast<char>(code)), hex);
        QString bits;
        for (int16_t position = 4; position <= 7; ++position)
            bits += GetBitChar(code, position);
        QCOMPARE(bits, bits4to7);
    }
};

QTEST_GUILESS_MAIN(tst_conversions)
#include "tst_conversions.moc"
