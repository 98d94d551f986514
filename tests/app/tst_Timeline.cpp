#include "app/FileDialog.h"
#include "monitor/TickCounter.h"
#include "port/ModemLineHook.h"
#include "support/window/StoppedClocks.h"
#include "support/window/TestWindow.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

// What a device end sends once the clocks have moved on by ms.
struct Step {
    int port;
    QByteArray bytes;
    int ms;
};

// Has the devices send, each step read before the next.
bool Play(TestWindow& w, StoppedClocks& clocks, const QList<Step>& steps)
{
    for (const Step& step : steps) {
        clocks.monotonic += step.ms;
        const auto shown = [&] { return w.Box("RXOut")->TextLength() + w.Box("RX2Out")->TextLength(); };
        const qsizetype before = shown();
        if (!w.ports.Device(step.port).Send(step.bytes))
            return false;
        if (!QTest::qWaitFor([&] { return shown() > before; }))
            return false;
    }
    return true;
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}

Q_DECLARE_METATYPE(QList<Step>)

class tst_Timeline : public QObject {
    Q_OBJECT

private slots:
    // Transparent, the clocks stopped 12.345 s after the connect: the
    // directions interleaved, each run headed by its stamp, direction and
    // answer time; off, the two boxes read as before.
    void oneTimeline_data()
    {
        QTest::addColumn<QString>("notation");
        QTest::addColumn<QString>("perLine");
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QByteArray>("timeline");
        QTest::addColumn<QByteArray>("first");
        QTest::newRow("AT answered") << "Chr" << "0" << QList<Step>{{1, "AT\r", 12'345}, {2, "OK\r\n", 12}}
                                     << QByteArray("00000001234ms: COM1 \xBB COM2: AT\r\r\n"
                                                   "00000001235ms: COM2 \xBB COM1 +12 ms: OK\r\n")
                                     << QByteArray("AT\r");
        QTest::newRow("same moment, first port first")
            << "Chr" << "0" << QList<Step>{{1, "ping", 12'345}, {2, "pong", 0}, {1, "!", 0}}
            << QByteArray("00000001234ms: COM1 \xBB COM2: ping\r\n00000001234ms: COM2 \xBB COM1 +0 ms: pong\r\n"
                          "00000001234ms: COM1 \xBB COM2 +0 ms: !")
            << QByteArray("ping!");
        QTest::newRow("Hex, 2 per line within the run")
            << "Hex" << "2" << QList<Step>{{1, "ABC", 12'345}, {1, "D", 20}, {2, "E", 30}}
            << QByteArray("00000001234ms: COM1 \xBB COM2: 41 42 \r\n00000001234ms: 43 44 \r\n"
                          "00000001239ms: COM2 \xBB COM1 +30 ms: 45 ")
            << QByteArray("41 42 \r\n00000001234ms: 43 44 \r\n00000001236ms: ");
    }
    void oneTimeline()
    {
        QFETCH(QString, notation);
        QFETCH(QString, perLine);
        QFETCH(QList<Step>, steps);
        QFETCH(QByteArray, timeline);
        QFETCH(QByteArray, first);
        StoppedClocks clocks;
        TestWindow w({1, 2});
        QVERIFY(Choose(w.List("OutCombo"), notation) && Choose(w.List("RXBitsNrListBox"), perLine));
        QVERIFY(Connect(w, "Transparent"));
        w.Action("ViewOneTimeline")->trigger();
        QVERIFY(!ShowsTwoPorts(w));
        QVERIFY(Play(w, clocks, steps));
        QTRY_COMPARE(w.Box("RXOut")->Text(), timeline);
        w.Action("ViewOneTimeline")->trigger();
        QVERIFY(ShowsTwoPorts(w));
        QCOMPARE(w.Box("RXOut")->Text(), first);
        w.Action("ViewOneTimeline")->trigger();
        QCOMPARE(w.Box("RXOut")->Text(), timeline);
        QTest::mouseClick(w.Button("ClearButton"), Qt::LeftButton);
        QCOMPARE(w.Box("RXOut")->Text(), QByteArray());
    }

    // One port: each send on a line of its own in the shown notation, what
    // arrives after it on the next; off, the box holds the received bytes only.
    void showSentData_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("notation");
        QTest::addColumn<QByteArray>("timeline");
        QTest::newRow("CHAR") << "CHAR" << "AT" << "Chr"
                              << QByteArray("00000001234ms: COM1 \xBB: AT\r\n00000001235ms: COM1 \xAB +5 ms: OK");
        QTest::newRow("HEX in Hex") << "HEX" << "4154" << "Hex"
                                    << QByteArray("00000001234ms: COM1 \xBB: 41 54 \r\n"
                                                  "00000001235ms: COM1 \xAB +5 ms: 4F 4B ");
        QTest::newRow("DEC") << "DEC" << "65" << "Chr"
                             << QByteArray("00000001234ms: COM1 \xBB: A\r\n00000001235ms: COM1 \xAB +5 ms: OK");
        QTest::newRow("BIN in Bin") << "BIN" << "01000001" << "Bin"
                                    << QByteArray("00000001234ms: COM1 \xBB: 01000001\r\n"
                                                  "00000001235ms: COM1 \xAB +5 ms: 0100111101001011");
    }
    void showSentData()
    {
        QFETCH(QString, type);
        QFETCH(QString, text);
        QFETCH(QString, notation);
        QFETCH(QByteArray, timeline);
        StoppedClocks clocks;
        TestWindow w({1});
        QVERIFY(Choose(w.List("OutCombo"), notation));
        QVERIFY(Connect(w, "Generic"));
        w.Action("ViewShowSentData")->trigger();
        QVERIFY(Choose(w.List("TXDataTypeListBox"), type));
        clocks.monotonic += 12'345;
        Send(w, text);
        QVERIFY(Play(w, clocks, {{1, "OK", 5}}));
        QTRY_COMPARE(w.Box("RXOut")->Text(), timeline);
        w.Action("ViewShowSentData")->trigger();
        QCOMPARE(w.Box("RXOut")->Text(), timeline.mid(timeline.lastIndexOf(": ") + 2));
    }

    // The user's own DTR and RTS changes, and the device's CTS, in their place in time.
    void modemLines()
    {
        StoppedClocks clocks;
        TestWindow w({1});
        QVERIFY(Connect(w, "Generic"));
        w.Action("ViewShowSentData")->trigger();
        LetTicksRun();
        clocks.monotonic += 12'345;
        QTest::mouseClick(w.Check("DTRv"), Qt::LeftButton);
        win32::testhook::SetInputLines("COM1", win32::MS_RING_ON);
        QTRY_COMPARE(w.Box("RXOut")->Text(), QByteArray("00000001234ms: DTR off\r\n00000001234ms: RI on"));
    }

    // The text log, chosen in Log to File: one line per run, compared with
    // what the devices wrote; the last run is written once half a second old.
    void textLog_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<QByteArray>("lines");
        QTest::newRow("Transparent") << "Transparent" << "" << QList<Step>{{1, "AT\r", 12'345}, {2, "OK\r\n", 12}}
                                     << QByteArray("14:03:07.123 COM1 > COM2  41 54 0D  AT.\n"
                                                   "14:03:07.123 COM2 > COM1  4F 4B 0D 0A  OK..\n");
        QTest::newRow("one port") << "Generic" << "AT" << QList<Step>{{1, "OK", 5}}
                                  << QByteArray("14:03:07.123 COM1 >  41 54  AT\n14:03:07.123 COM1 <  4F 4B  OK\n");
    }
    void textLog()
    {
        QFETCH(QString, type);
        QFETCH(QString, sent);
        QFETCH(QList<Step>, steps);
        QFETCH(QByteArray, lines);
        StoppedClocks clocks;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("timeline.txt"));
        TestWindow w({1, 2});
        QVERIFY(Connect(w, type));
        modZEMO::SetSaveFileHandler([&](const QString&, const QStringList& types, QString* chosen) {
            *chosen = types.filter(QStringLiteral("Timeline text")).value(0);
            return path;
        });
        w.Action("FileLogMenu")->trigger();
        modZEMO::SetSaveFileHandler({});
        if (!sent.isEmpty())
            Send(w, sent);
        QVERIFY(Play(w, clocks, steps));
        clocks.monotonic += 600;
        QTRY_COMPARE(Contents(path), lines);
    }
};

QTEST_MAIN(tst_Timeline)
#include "tst_Timeline.moc"
