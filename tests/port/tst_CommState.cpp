#include "port/LineSettings.h"
#include "port/ModZemoPorts.h"
#include "support/LineHistory.h"
#include "support/PtyPair.h"
#include "support/TestPortsDir.h"

#include <QTest>
#include <cstring>
#include <memory>
#include <termios.h>

using namespace win32;

class tst_CommState : public QObject {
    Q_OBJECT

    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<TestPortsDir> ports;
    HANDLE handle = INVALID_HANDLE_VALUE;

    static DCB LineSettings(DWORD rate, BYTE bits, BYTE parity, BYTE stop, DWORD flags)
    {
        DCB dcb{};
        dcb.DCBlength = sizeof(DCB);
        dcb.BaudRate = rate;
        dcb.flags = flags;
        dcb.ByteSize = bits;
        dcb.Parity = parity;
        dcb.StopBits = stop;
        dcb.XonChar = 0x11;
        dcb.XoffChar = 0x13;
        return dcb;
    }

private slots:
    void init()
    {
        pty = std::make_unique<PtyPair>();
        ports = std::make_unique<TestPortsDir>();
        QVERIFY(ports->link(4, pty->slavePath()));
        handle = modZEMO::OpenPort(QStringLiteral("COM4"));
        QVERIFY(handle != INVALID_HANDLE_VALUE);
    }

    void cleanup()
    {
        CloseHandle(handle);
        ports.reset();
        pty.reset();
    }

    // What SetCommState takes reaches the device exactly and is reported
    // back; what it refuses leaves the port as it was.
    void settings_data()
    {
        QTest::addColumn<uint>("rate");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("parity");
        QTest::addColumn<int>("stop");
        QTest::addColumn<uint>("flags");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<uint>("cflagSet");   // bits that must be set on the device
        QTest::addColumn<uint>("cflagClear"); // bits that must be clear
        QTest::addColumn<uint>("iflagSet");
        QTest::addColumn<uint>("iflagClear");
        const uint swFlow = IXON | IXOFF;
        const uint rtsHandshake = RTS_CONTROL_HANDSHAKE << fRtsControlShift;
        const auto accepted = [](const char* name, uint rate, int bits, int parity, int stop, uint flags,
                                 uint cflagSet, uint cflagClear, uint iflagSet, uint iflagClear) {
            QTest::newRow(name) << rate << bits << parity << stop << flags << true << cflagSet << cflagClear
                                << iflagSet << iflagClear;
        };
        accepted("128000 8N1", 128000, 8, 0, 0, 1, 0, CSTOPB | CMSPAR | CRTSCTS, 0, swFlow);
        accepted("9600 7E2", 9600, 7, 2, 2, 1, CSTOPB, CMSPAR | PARODD, 0, swFlow);
        accepted("odd", 4800, 8, 1, 0, 1, PARODD, CMSPAR, 0, swFlow);
        accepted("mark", 2400, 8, 3, 0, 1, CMSPAR | PARODD, 0, 0, swFlow);
        accepted("space", 2400, 8, 4, 0, 1, CMSPAR, PARODD, 0, swFlow);
        accepted("5 bits 1.5 stop", 300, 5, 0, 1, 1, CSTOPB, 0, 0, swFlow);
        accepted("cts flow", 115200, 8, 0, 0, fBinary | fOutxCtsFlow, CRTSCTS, 0, 0, swFlow);
        accepted("rts handshake", 115200, 8, 0, 0, fBinary | rtsHandshake, CRTSCTS, 0, 0, swFlow);
        accepted("xon/xoff", 19200, 8, 0, 0, fBinary | fOutX | fInX, 0, CRTSCTS, swFlow, 0);
        accepted("odd rate", 31250, 8, 0, 0, 1, 0, 0, 0, 0);
        const auto refused = [](const char* name, uint rate, int bits, int parity, int stop) {
            QTest::newRow(name) << rate << bits << parity << stop << 1u << false << 0u << 0u << 0u << 0u;
        };
        refused("4 data bits", 9600, 4, 0, 0);
        refused("9 data bits", 9600, 9, 0, 0);
        refused("parity code 5", 9600, 8, 5, 0);
        refused("stop code 3", 9600, 8, 0, 3);
        refused("1.5 stop, 6 bits", 9600, 6, 0, 1);
        refused("1.5 stop, 8 bits", 9600, 8, 0, 1);
        refused("2 stop, 5 bits", 9600, 5, 0, 2);
        refused("no bit rate", 0, 8, 0, 0);
    }
    void settings()
    {
        QFETCH(uint, rate);
        QFETCH(int, bits);
        QFETCH(int, parity);
        QFETCH(int, stop);
        QFETCH(uint, flags);
        QFETCH(bool, accepted);
        QFETCH(uint, cflagSet);
        QFETCH(uint, cflagClear);
        QFETCH(uint, iflagSet);
        QFETCH(uint, iflagClear);
        DCB before = LineSettings(57600, 8, NOPARITY, ONESTOPBIT, 1);
        QVERIFY(SetCommState(handle, &before));
        DCB dcb = LineSettings(rate, BYTE(bits), BYTE(parity), BYTE(stop), flags);
        QCOMPARE(SetCommState(handle, &dcb), BOOL(accepted));
        if (!accepted)
            dcb = before;
        QCOMPARE(pty->slaveBitRate(), dcb.BaudRate);
        termios seen{};
        QCOMPARE(tcgetattr(pty->masterFd(), &seen), 0);
        QCOMPARE(seen.c_cflag & cflagSet, cflagSet);
        QCOMPARE(seen.c_cflag & cflagClear, 0u);
        QCOMPARE(seen.c_iflag & iflagSet, iflagSet);
        QCOMPARE(seen.c_iflag & iflagClear, 0u);
        DCB back{};
        QVERIFY(GetCommState(handle, &back));
        QCOMPARE(std::memcmp(&back, &dcb, sizeof dcb), 0);
    }

    // On a real line the driver's read-back decides whether SetCommState succeeded.
    void driverReadBack_data()
    {
        QTest::addColumn<uint>("takenRate");
        QTest::addColumn<int>("takenBits");
        QTest::addColumn<bool>("takenStop");
        QTest::addColumn<bool>("takenRtsCts");
        QTest::addColumn<int>("takenParity");
        QTest::addColumn<bool>("accepted");
        const int mark = int(serialdevice::Parity::Mark);
        QTest::newRow("exact") << 128000u << 7 << true << true << mark << true;
        QTest::newRow("rate rounded by 2%") << 125440u << 7 << true << true << mark << true;
        QTest::newRow("rate fell back to 115200") << 115200u << 7 << true << true << mark << false;
        QTest::newRow("data bits forced to 8") << 128000u << 8 << true << true << mark << false;
        QTest::newRow("stop bit dropped") << 128000u << 7 << false << true << mark << false;
        QTest::newRow("no hardware flow") << 128000u << 7 << true << false << mark << false;
        QTest::newRow("no mark parity") << 128000u << 7 << true << true << int(serialdevice::Parity::Odd) << false;
    }
    void driverReadBack()
    {
        serialdevice::LineSettings wanted;
        wanted.bitRate = 128000;
        wanted.dataBits = 7;
        wanted.parity = serialdevice::Parity::Mark;
        wanted.extraStopBit = true;
        wanted.rtsCts = true;
        serialdevice::LineSettings taken = wanted;
        QFETCH(uint, takenRate);
        QFETCH(int, takenBits);
        QFETCH(bool, takenStop);
        QFETCH(bool, takenRtsCts);
        QFETCH(int, takenParity);
        taken.bitRate = takenRate;
        taken.dataBits = takenBits;
        taken.extraStopBit = takenStop;
        taken.rtsCts = takenRtsCts;
        taken.parity = serialdevice::Parity(takenParity);
        QTEST(wanted.SameFraming(taken), "accepted");
    }

    void freshHandleReportsThePresentSettings()
    {
        DCB dcb = LineSettings(128000, 8, NOPARITY, TWOSTOPBITS, fBinary | fOutxCtsFlow | fOutX);
        QVERIFY(SetCommState(handle, &dcb));
        QVERIFY(CloseHandle(handle));
        handle = modZEMO::OpenPort(QStringLiteral("COM4"));
        DCB fresh{};
        QVERIFY(GetCommState(handle, &fresh));
        QCOMPARE(fresh.DCBlength, 28u);
        QCOMPARE(fresh.BaudRate, 128000u);
        QCOMPARE(fresh.ByteSize, BYTE(8));
        QCOMPARE(fresh.StopBits, TWOSTOPBITS);
        QCOMPARE(fresh.flags & (fBinary | fOutxCtsFlow | fOutX), fBinary | fOutxCtsFlow);
        // (Raw mode on opening ended software flow control.)
        QCOMPARE(fresh.XonChar, char(0x11));
        QCOMPARE(fresh.XoffChar, char(0x13));
        // Handing the record back unchanged is accepted.
        QVERIFY(SetCommState(handle, &fresh));
    }

    // The timeouts set come back as set, and a read waits as they say.
    void waitingReadStopsAtItsTotalTimeout()
    {
        COMMTIMEOUTS t{0, 0, 50, 0, 0};
        QVERIFY(SetCommTimeouts(handle, &t));
        COMMTIMEOUTS back{1, 2, 3, 4, 5};
        QVERIFY(GetCommTimeouts(handle, &back));
        QCOMPARE(std::memcmp(&back, &t, sizeof t), 0);
        QVERIFY(pty->send("ab"));
        QVERIFY(pty->waitUntilQueued(2));
        char buffer[10];
        DWORD count = 0;
        QVERIFY(ReadFile(handle, buffer, sizeof buffer, &count, nullptr));
        QCOMPARE(QByteArray(buffer, int(count)), QByteArray("ab"));
    }

    // A pseudo-terminal has no modem lines: the calls fail, as on any port
    // without them (the settings above succeed all the same).
    void pseudoTerminalHasNoModemLines()
    {
        QCOMPARE(EscapeCommFunction(handle, SETDTR), 0);
        DWORD status = 0x1234;
        QCOMPARE(GetCommModemStatus(handle, &status), 0);
    }

    // The flags word drives DTR and RTS too (seen through the modem-line hook).
    void lineSettingsDriveTheLines_data()
    {
        QTest::addColumn<uint>("flags");
        QTest::addColumn<bool>("dtr");
        QTest::addColumn<bool>("rts");
        QTest::newRow("flags word 1 drops both") << 1u << false << false;
        QTest::newRow("both enabled") << uint(fBinary | (DTR_CONTROL_ENABLE << fDtrControlShift)
                                              | (RTS_CONTROL_ENABLE << fRtsControlShift))
                                      << true << true;
        QTest::newRow("DTR only") << uint(fBinary | (DTR_CONTROL_ENABLE << fDtrControlShift)) << true << false;
    }
    void lineSettingsDriveTheLines()
    {
        QFETCH(uint, flags);
        QFETCH(bool, dtr);
        QFETCH(bool, rts);
        testhook::EmulateModemLines(QStringLiteral("COM4"));
        DCB dcb = LineSettings(9600, 8, NOPARITY, ONESTOPBIT, flags);
        QVERIFY(SetCommState(handle, &dcb));
        QCOMPARE(EscapeCommFunction(handle, 9), 0); // no such function: refused, nothing recorded
        const QList<LineChange> changes = LineChanges(QStringLiteral("COM4"));
        testhook::StopEmulating();
        QCOMPARE(changes, (QList<LineChange>{{testhook::LineEvent::Dtr, dtr}, {testhook::LineEvent::Rts, rts}}));
    }
};

QTEST_GUILESS_MAIN(tst_CommState)
#include "tst_CommState.moc"
