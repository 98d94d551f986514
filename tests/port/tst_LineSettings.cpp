#include "port/LineSettings.h"

#include <QTest>

using serialdevice::LineSettings;
using serialdevice::Parity;

// What a real driver reads back decides whether SetCommState succeeded.
class tst_LineSettings : public QObject {
    Q_OBJECT

private slots:
    void driverReadBack_data()
    {
        QTest::addColumn<uint>("takenRate");
        QTest::addColumn<int>("takenBits");
        QTest::addColumn<bool>("takenStop");
        QTest::addColumn<bool>("takenRtsCts");
        QTest::addColumn<int>("takenParity");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("exact") << 128000u << 7 << true << true << int(Parity::Mark) << true;
        QTest::newRow("rate rounded by 2%") << 125440u << 7 << true << true << int(Parity::Mark) << true;
        QTest::newRow("rate fell back to 115200") << 115200u << 7 << true << true << int(Parity::Mark) << false;
        QTest::newRow("data bits forced to 8") << 128000u << 8 << true << true << int(Parity::Mark) << false;
        QTest::newRow("stop bit dropped") << 128000u << 7 << false << true << int(Parity::Mark) << false;
        QTest::newRow("no hardware flow") << 128000u << 7 << true << false << int(Parity::Mark) << false;
        QTest::newRow("no mark parity") << 128000u << 7 << true << true << int(Parity::Odd) << false;
    }

    void driverReadBack()
    {
        QFETCH(uint, takenRate);
        QFETCH(int, takenBits);
        QFETCH(bool, takenStop);
        QFETCH(bool, takenRtsCts);
        QFETCH(int, takenParity);
        QFETCH(bool, accepted);
        LineSettings wanted;
        wanted.bitRate = 128000;
        wanted.dataBits = 7;
        wanted.parity = Parity::Mark;
        wanted.extraStopBit = true;
        wanted.rtsCts = true;
        LineSettings taken = wanted;
        taken.bitRate = takenRate;
        taken.dataBits = takenBits;
        taken.extraStopBit = takenStop;
        taken.rtsCts = takenRtsCts;
        taken.parity = Parity(takenParity);
        QCOMPARE(wanted.sameFraming(taken), accepted);
    }
};

QTEST_GUILESS_MAIN(tst_LineSettings)
#include "tst_LineSettings.moc"
