#include "port/ModZemoPorts.h"
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

    static DCB lineSettings(DWORD rate, BYTE bits, BYTE parity, BYTE stop, DWORD flags)
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
        QVERIFY(pty->isOpen());
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

    void settingsReachTheDevice_data()
    {
        QTest::addColumn<uint>("rate");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("parity");
        QTest::addColumn<int>("stop");
        QTest::addColumn<uint>("flags");
        QTest::addColumn<uint>("cflagSet");   // bits that must be set on the device
        QTest::addColumn<uint>("cflagClear"); // bits that must be clear
        QTest::addColumn<uint>("iflagSet");
        QTest::addColumn<uint>("iflagClear");

        const uint flowOff = CRTSCTS;
        const uint swOff = IXON | IXOFF;
        const uint rtsHandshake = RTS_CONTROL_HANDSHAKE << fRtsControlShift;
        QTest::newRow("128000 8N1") << 128000u << 8 << 0 << 0 << 1u << 0u
                                    << uint(CSTOPB | CMSPAR | flowOff) << 0u << swOff;
        QTest::newRow("9600 7E2") << 9600u << 7 << 2 << 2 << 1u << uint(CSTOPB)
                                  << uint(CMSPAR | PARODD) << 0u << swOff;
        QTest::newRow("odd") << 4800u << 8 << 1 << 0 << 1u << uint(PARODD) << uint(CMSPAR) << 0u << swOff;
        QTest::newRow("mark") << 2400u << 8 << 3 << 0 << 1u << uint(CMSPAR | PARODD) << 0u << 0u << swOff;
        QTest::newRow("space") << 2400u << 8 << 4 << 0 << 1u << uint(CMSPAR) << uint(PARODD) << 0u << swOff;
        QTest::newRow("5 bits 1.5 stop") << 300u << 5 << 0 << 1 << 1u << uint(CSTOPB) << 0u << 0u << swOff;
        QTest::newRow("cts flow") << 115200u << 8 << 0 << 0 << uint(fBinary | fOutxCtsFlow)
                                  << uint(CRTSCTS) << 0u << 0u << swOff;
        QTest::newRow("rts handshake") << 115200u << 8 << 0 << 0 << uint(fBinary | rtsHandshake)
                                       << uint(CRTSCTS) << 0u << 0u << swOff;
        QTest::newRow("xon/xoff") << 19200u << 8 << 0 << 0 << uint(fBinary | fOutX | fInX) << 0u
                                  << uint(CRTSCTS) << swOff << 0u;
        QTest::newRow("odd rate") << 31250u << 8 << 0 << 0 << 1u << 0u << 0u << 0u << 0u;
    }

    void settingsReachTheDevice()
    {
        QFETCH(uint, rate);
        QFETCH(int, bits);
        QFETCH(int, parity);
        QFETCH(int, stop);
        QFETCH(uint, flags);
        QFETCH(uint, cflagSet);
        QFETCH(uint, cflagClear);
        QFETCH(uint, iflagSet);
        QFETCH(uint, iflagClear);

        DCB dcb = lineSettings(rate, BYTE(bits), BYTE(parity), BYTE(stop), flags);
        QVERIFY(SetCommState(handle, &dcb));
        QCOMPARE(pty->slaveBitRate(), rate);
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

    void refusedCombinations_data()
    {
        QTest::addColumn<uint>("rate");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("parity");
        QTest::addColumn<int>("stop");
        QTest::newRow("4 data bits") << 9600u << 4 << 0 << 0;
        QTest::newRow("9 data bits") << 9600u << 9 << 0 << 0;
        QTest::newRow("parity code 5") << 9600u << 8 << 5 << 0;
        QTest::newRow("stop code 3") << 9600u << 8 << 0 << 3;
        QTest::newRow("1.5 stop, 6 bits") << 9600u << 6 << 0 << 1;
        QTest::newRow("1.5 stop, 7 bits") << 9600u << 7 << 0 << 1;
        QTest::newRow("1.5 stop, 8 bits") << 9600u << 8 << 0 << 1;
        QTest::newRow("2 stop, 5 bits") << 9600u << 5 << 0 << 2;
        QTest::newRow("no bit rate") << 0u << 8 << 0 << 0;
    }

    void refusedCombinations()
    {
        QFETCH(uint, rate);
        QFETCH(int, bits);
        QFETCH(int, parity);
        QFETCH(int, stop);

        DCB good = lineSettings(57600, 8, NOPARITY, ONESTOPBIT, 1);
        QVERIFY(SetCommState(handle, &good));
        DCB bad = lineSettings(rate, BYTE(bits), BYTE(parity), BYTE(stop), 1);
        QCOMPARE(SetCommState(handle, &bad), 0);
        // The port keeps what it had.
        QCOMPARE(pty->slaveBitRate(), 57600u);
        DCB back{};
        QVERIFY(GetCommState(handle, &back));
        QCOMPARE(back.BaudRate, 57600u);
    }

    void freshHandleReportsThePresentSettings()
    {
        DCB dcb = lineSettings(128000, 8, NOPARITY, TWOSTOPBITS, fBinary | fOutxCtsFlow | fOutX);
        QVERIFY(SetCommState(handle, &dcb));
        QVERIFY(CloseHandle(handle));
        handle = modZEMO::OpenPort(QStringLiteral("COM4"));
        QVERIFY(handle != INVALID_HANDLE_VALUE);
        DCB fresh{};
        QVERIFY(GetCommState(handle, &fresh));
        QCOMPARE(fresh.DCBlength, 28u);
        QCOMPARE(fresh.BaudRate, 128000u);
        QCOMPARE(fresh.ByteSize, BYTE(8));
        QCOMPARE(fresh.StopBits, TWOSTOPBITS);
        QVERIFY(fresh.flags & fBinary);
        QVERIFY(fresh.flags & fOutxCtsFlow);
        // Raw mode on opening ends software flow control.
        QVERIFY(!(fresh.flags & fOutX));
        QCOMPARE(fresh.XonChar, char(0x11));
        QCOMPARE(fresh.XoffChar, char(0x13));
        // Handing the record back unchanged is accepted.
        QVERIFY(SetCommState(handle, &fresh));
    }

    void timeoutsAreKept()
    {
        COMMTIMEOUTS set{MAXDWORD, 0, 0, 0, 0};
        QVERIFY(SetCommTimeouts(handle, &set));
        COMMTIMEOUTS back{1, 2, 3, 4, 5};
        QVERIFY(GetCommTimeouts(handle, &back));
        QCOMPARE(std::memcmp(&back, &set, sizeof set), 0);
    }

    void waitingReadStopsAtItsTotalTimeout()
    {
        COMMTIMEOUTS t{0, 0, 50, 0, 0};
        QVERIFY(SetCommTimeouts(handle, &t));
        QVERIFY(pty->send("ab"));
        QVERIFY(pty->waitUntilQueued(2));
        char buffer[10];
        DWORD count = 0;
        QVERIFY(ReadFile(handle, buffer, sizeof buffer, &count, nullptr));
        QCOMPARE(QByteArray(buffer, int(count)), QByteArray("ab"));
    }

    void pseudoTerminalHasNoModemLines()
    {
        QCOMPARE(EscapeCommFunction(handle, SETDTR), 0);
        DWORD status = 0x1234;
        QCOMPARE(GetCommModemStatus(handle, &status), 0);
        // Missing lines do not make the line settings fail.
        DCB dcb = lineSettings(9600, 8, NOPARITY, ONESTOPBIT, 1);
        QVERIFY(SetCommState(handle, &dcb));
    }

    void closedHandleRefusesEverything()
    {
        QVERIFY(CloseHandle(handle));
        DCB dcb = lineSettings(9600, 8, NOPARITY, ONESTOPBIT, 1);
        COMMTIMEOUTS t{};
        DWORD status = 0;
        QCOMPARE(GetCommState(handle, &dcb), 0);
        QCOMPARE(SetCommState(handle, &dcb), 0);
        QCOMPARE(GetCommTimeouts(handle, &t), 0);
        QCOMPARE(SetCommTimeouts(handle, &t), 0);
        QCOMPARE(EscapeCommFunction(handle, CLRRTS), 0);
        QCOMPARE(GetCommModemStatus(handle, &status), 0);
    }
};

QTEST_GUILESS_MAIN(tst_CommState)
#include "tst_CommState.moc"
