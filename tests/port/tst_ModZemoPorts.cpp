#include "port/LineSettings.h"
#include "port/ModZemoPorts.h"
#include "port/OpenFailure.h"
#include "support/FailureRecorder.h"
#include "support/PtyPair.h"
#include "support/TestPortsDir.h"
#include "support/Unprivileged.h"

#include <QFile>
#include <QTest>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <termios.h>

using namespace win32;
using modZEMO::ReadPort;
using modZEMO::WritePort;

namespace {

DCB LineSettings(DWORD rate, BYTE bits, BYTE parity, BYTE stop, DWORD flags)
{
    return DCB{.DCBlength = sizeof(DCB), .BaudRate = rate, .flags = flags, .ByteSize = bits, .Parity = parity,
               .StopBits = stop, .XonChar = 0x11, .XoffChar = 0x13};
}

// What the driver is asked for in driverReadBack.
const serialdevice::LineSettings Wanted{
    .bitRate = 128000, .dataBits = 7, .parity = serialdevice::Parity::Mark, .extraStopBit = true, .rtsCts = true};

}

Q_DECLARE_METATYPE(serialdevice::LineSettings)
Q_DECLARE_METATYPE(win32::DCB)

// COM4 is a pseudo-terminal whose master end the test plays.
class tst_ModZemoPorts : public QObject {
    Q_OBJECT

    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<TestPortsDir> ports;
    HANDLE handle = INVALID_HANDLE_VALUE;

private slots:
    void init()
    {
        pty = std::make_unique<PtyPair>();
        ports = std::make_unique<TestPortsDir>();
        QVERIFY(ports->Link(4, pty->SlavePath()));
        handle = modZEMO::OpenPort(QStringLiteral("COM4"));
        QVERIFY(handle != INVALID_HANDLE_VALUE);
    }

    void cleanup()
    {
        CloseHandle(handle);
        ports.reset();
        pty.reset();
    }

    // What SetCommState takes reaches the device and is reported back; what it refuses changes nothing.
    void settings_data()
    {
        QTest::addColumn<DCB>("dcb");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<uint>("cflag"); // the device's stop, parity and flow bits
        const auto row = [](const char* name, DWORD rate, BYTE bits, BYTE parity, BYTE stop, DWORD flags, uint cflag) {
            QTest::newRow(name) << LineSettings(rate, bits, parity, stop, flags) << true << cflag;
        };
        row("odd", 4800, 8, 1, 0, 1, PARODD);
        row("mark", 2400, 8, 3, 0, 1, CMSPAR | PARODD);
        row("space", 2400, 8, 4, 0, 1, CMSPAR);
        row("5 bits 1.5 stop", 300, 5, 0, 1, 1, CSTOPB);
        row("cts flow", 115200, 8, 0, 0, fBinary | fOutxCtsFlow, CRTSCTS);
        row("rts handshake", 115200, 8, 0, 0, fBinary | (RTS_CONTROL_HANDSHAKE << fRtsControlShift), CRTSCTS);
        const auto refused = [](const char* name, DWORD rate, BYTE bits, BYTE parity, BYTE stop) {
            QTest::newRow(name) << LineSettings(rate, bits, parity, stop, 1) << false << 0u;
        };
        refused("4 data bits", 9600, 4, 0, 0);
        refused("parity code 5", 9600, 8, 5, 0);
        refused("stop code 3", 9600, 8, 0, 3);
        refused("2 stop, 5 bits", 9600, 5, 0, 2);
        refused("no bit rate", 0, 8, 0, 0);
    }
    void settings()
    {
        QFETCH(DCB, dcb);
        QFETCH(bool, accepted);
        DCB before = LineSettings(57600, 8, NOPARITY, ONESTOPBIT, 1);
        QVERIFY(SetCommState(handle, &before));
        QCOMPARE(SetCommState(handle, &dcb), BOOL(accepted));
        if (!accepted)
            dcb = before;
        QCOMPARE(pty->SlaveBitRate(), dcb.BaudRate);
        termios seen{};
        QCOMPARE(tcgetattr(pty->MasterFd(), &seen), 0);
        QTEST(seen.c_cflag & (CSTOPB | CMSPAR | PARODD | CRTSCTS), "cflag");
        QCOMPARE(seen.c_iflag & (IXON | IXOFF), 0u);
        DCB back{};
        QVERIFY(GetCommState(handle, &back));
        QCOMPARE(std::memcmp(&back, &dcb, sizeof dcb), 0);
    }

    // On a real line the driver's read-back decides: the same framing, a rate rounded by at most 3 %.
    void driverReadBack_data()
    {
        QTest::addColumn<serialdevice::LineSettings>("taken");
        QTest::addColumn<bool>("accepted");
        const auto row = [](const char* name, auto change, bool accepted = false) {
            serialdevice::LineSettings taken = Wanted;
            change(taken);
            QTest::newRow(name) << taken << accepted;
        };
        row("rate rounded by 2%", [](auto& s) { s.bitRate = 125440; }, true);
        row("rate fell back to 115200", [](auto& s) { s.bitRate = 115200; });
        row("data bits forced to 8", [](auto& s) { s.dataBits = 8; });
        row("stop bit dropped", [](auto& s) { s.extraStopBit = false; });
        row("no hardware flow", [](auto& s) { s.rtsCts = false; });
        row("no mark parity", [](auto& s) { s.parity = serialdevice::Parity::Odd; });
    }
    void driverReadBack()
    {
        QFETCH(serialdevice::LineSettings, taken);
        QTEST(Wanted.SameFraming(taken), "accepted");
    }

    // A port without permission: the open fails and says why.
    void openRefused()
    {
        QVERIFY(CloseHandle(handle));
        QVERIFY(::chmod(QFile::encodeName(pty->SlavePath()).constData(), 0) == 0);
        QVERIFY(::chmod(QFile::encodeName(ports->Path()).constData(), 0755) == 0);
        const QByteArray reason = RunUnprivileged([] {
            const bool refused = modZEMO::OpenPort(QStringLiteral("COM4")) == INVALID_HANDLE_VALUE;
            return refused ? openfailure::Last().toUtf8() : QByteArray("opened");
        });
        QCOMPARE(QString::fromUtf8(reason), pty->SlavePath()
                     + ": permission denied: add yourself to the dialout group (sudo adduser $USER dialout) "
                       "and log in again");
    }

    // A closed handle reaches nothing, also with its port open again; each write to it says so.
    void closedHandleReachesNothing()
    {
        FailureRecorder messages;
        QVERIFY(CloseHandle(handle));
        const auto stale = handle;
        handle = modZEMO::OpenPort(QStringLiteral("COM4"));
        QVERIFY(handle != INVALID_HANDLE_VALUE && handle != stale);
        QVERIFY(!CloseHandle(stale) && !CloseHandle(INVALID_HANDLE_VALUE) && !CloseHandle(0));
        DCB dcb{};
        COMMTIMEOUTS t{MAXDWORD, 0, 0, 0, 0}; // reads return at once
        DWORD status = 0;
        QVERIFY(!GetCommState(stale, &dcb) && !SetCommState(stale, &dcb) && !GetCommTimeouts(stale, &t)
                && !SetCommTimeouts(stale, &t) && !EscapeCommFunction(stale, CLRRTS) && !GetCommModemStatus(stale, &status));
        QVERIFY(!WritePort(stale, "abc") && !WritePort(stale, QByteArray(250, 'x')));
        QCOMPARE(messages.Texts(), QStringList(2, QStringLiteral("Error sending data to the COM port")));
        QVERIFY(pty->Send("z"));
        QVERIFY(pty->WaitUntilQueued(1));
        QCOMPARE(ReadPort(stale), QByteArray());
        QVERIFY(SetCommTimeouts(handle, &t));
        QCOMPARE(ReadPort(handle), QByteArray("z"));
        QCOMPARE(pty->Receive(1, 100), QByteArray());
    }
};

QTEST_GUILESS_MAIN(tst_ModZemoPorts)
#include "tst_ModZemoPorts.moc"
