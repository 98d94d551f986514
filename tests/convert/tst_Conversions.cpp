#include "convert/Conversions.h"

#include <QTest>

using namespace modZEMO;

class tst_Conversions : public QObject {
    Q_OBJECT

private slots:
    // A byte as the binary and hex boxes show it, also with the top bit set.
    void byteTexts_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("binary");
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("LF") << 10 << QByteArray("00001010") << QByteArray("0A");
        QTest::newRow("A") << 65 << QByteArray("01000001") << QByteArray("41");
        QTest::newRow("128") << 128 << QByteArray("10000000") << QByteArray("80");
        QTest::newRow("255") << 255 << QByteArray("11111111") << QByteArray("FF");
    }
    void byteTexts()
    {
        QFETCH(int, code);
        QTEST(CharToBinary(static_cast<char>(code)), "binary");
        QTEST(CharToHex(static_cast<char>(code)), "hex");
    }
};

QTEST_GUILESS_MAIN(tst_Conversions)
#include "tst_Conversions.moc"
