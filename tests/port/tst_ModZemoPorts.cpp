#include "port/ModZemoPorts.h"
#include "port/OpenFailure.h"
#include "support/MessageRecorder.h"
#include "support/PtyPair.h"
#include "support/TestPortsDir.h"
#include "support/Unprivileged.h"

#include <QFile>
#include <QTest>
#include <memory>
#include <sys/stat.h>
#include <thread>

using namespace modZEMO;

namespace {

const QString SendError = QStringLiteral("Error sending data to the COM port");

}

class tst_ModZemoPorts : public QObject {
    Q_OBJECT

    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<TestPortsDir> ports;
    std::unique_ptr<MessageRecorder> messages;
    win32::HANDLE handle = win32::INVALID_HANDLE_VALUE;

    // The timeouts every connect sets: reads return at once.
    static void SetNonWaitingReads(win32::HANDLE h)
    {
        win32::COMMTIMEOUTS t{win32::MAXDWORD, 0, 0, 0, 0};
        QVERIFY(win32::SetCommTimeouts(h, &t));
    }

private slots:
    void init()
    {
        pty = std::make_unique<PtyPair>();
        ports = std::make_unique<TestPortsDir>();
        messages = std::make_unique<MessageRecorder>();
        QVERIFY(ports->link(7, pty->slavePath()));
        handle = OpenPort(QStringLiteral("COM7"));
        QVERIFY(handle != win32::INVALID_HANDLE_VALUE);
        SetNonWaitingReads(handle);
    }

    void cleanup()
    {
        win32::CloseHandle(handle);
        messages.reset();
        ports.reset();
        pty.reset();
    }

    // Every byte value, a zero byte not ending the data, in reads of at most 100.
    void readsTakeAtMost100BytesEach()
    {
        QByteArray sent;
        for (int i = 0; i < 256; ++i)
            sent.append(char(255 - i));
        QVERIFY(pty->send(sent));
        QVERIFY(pty->waitUntilQueued(sent.size()));
        QCOMPARE(ReadPort(handle), sent.mid(0, 100));
        QCOMPARE(ReadPort(handle), sent.mid(100, 100));
        QCOMPARE(ReadPort(handle), sent.mid(200));
        QCOMPARE(ReadPort(handle), QByteArray());
    }

    // Each text goes out whole and unchanged, and nothing else: a one-byte
    // text written after it arrives right behind it.
    void writesArriveWhole_data()
    {
        QTest::addColumn<QByteArray>("text");
        QByteArray every;
        for (int i = 0; i < 256; ++i)
            every.append(char(i));
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("exactly 100") << every.left(100);
        QTest::newRow("every byte value") << every;
        // More than the driver queues: the write must wait for room.
        QTest::newRow("60000") << every.repeated(235).left(60000);
    }
    void writesArriveWhole()
    {
        QFETCH(QByteArray, text);
        QByteArray received;
        std::thread device([&] { received = pty->receive(text.size() + 1, 20000); });
        const bool ok = WritePort(handle, text) && WritePort(handle, "x");
        device.join();
        QVERIFY(ok);
        QCOMPARE(received, text + "x");
        QVERIFY(messages->messages().isEmpty());
    }

    // A port that cannot be had: the open fails and says why. (Held by
    // another program: tst_faults.)
    void openRefused_data()
    {
        QTest::addColumn<bool>("permission");
        QTest::addColumn<QString>("why"); // after the device's path
        QTest::newRow("held by this program") << false << ": in use by another program";
        QTest::newRow("no permission") << true
                                       << ": permission denied: add yourself to the dialout group "
                                          "(sudo adduser $USER dialout) and log in again";
    }
    void openRefused()
    {
        QFETCH(bool, permission);
        QFETCH(QString, why);
        const auto refusal = [] {
            const bool refused = OpenPort(QStringLiteral("COM7")) == win32::INVALID_HANDLE_VALUE;
            return refused ? openfailure::Last().toUtf8() : QByteArray("opened");
        };
        QByteArray reason;
        if (permission) {
            QVERIFY(win32::CloseHandle(handle));
            QVERIFY(::chmod(QFile::encodeName(pty->slavePath()).constData(), 0) == 0);
            QVERIFY(::chmod(QFile::encodeName(ports->path()).constData(), 0755) == 0);
            reason = RunUnprivileged(refusal);
        } else {
            reason = refusal();
        }
        QCOMPARE(QString::fromUtf8(reason), pty->slavePath() + why);
        // A name the map does not hold, or a device path, opens nothing.
        QCOMPARE(OpenPort(QStringLiteral("COM8")), win32::INVALID_HANDLE_VALUE);
        QCOMPARE(OpenPort(pty->slavePath()), win32::INVALID_HANDLE_VALUE);
    }

    // A closed handle reaches nothing, also once its port is open again
    // under a new handle, and a write to it says so once per write.
    void closedHandleReachesNothing()
    {
        QVERIFY(win32::CloseHandle(handle));
        const auto stale = handle;
        handle = OpenPort(QStringLiteral("COM7"));
        QVERIFY(handle != win32::INVALID_HANDLE_VALUE && handle != stale);
        QVERIFY(!win32::CloseHandle(stale));
        QVERIFY(!win32::CloseHandle(win32::INVALID_HANDLE_VALUE));
        QVERIFY(!win32::CloseHandle(0));
        win32::DCB dcb{};
        win32::COMMTIMEOUTS t{};
        win32::DWORD status = 0;
        QCOMPARE(win32::GetCommState(stale, &dcb), 0);
        QCOMPARE(win32::SetCommState(stale, &dcb), 0);
        QCOMPARE(win32::GetCommTimeouts(stale, &t), 0);
        QCOMPARE(win32::SetCommTimeouts(stale, &t), 0);
        QCOMPARE(win32::EscapeCommFunction(stale, win32::CLRRTS), 0);
        QCOMPARE(win32::GetCommModemStatus(stale, &status), 0);
        QVERIFY(!WritePort(stale, "abc"));
        QVERIFY(!WritePort(stale, QByteArray(250, 'x')));
        QCOMPARE(messages->texts(), QStringList(2, SendError));
        QVERIFY(pty->send("z"));
        QVERIFY(pty->waitUntilQueued(1));
        QCOMPARE(ReadPort(stale), QByteArray());
        SetNonWaitingReads(handle);
        QCOMPARE(ReadPort(handle), QByteArray("z"));
        QCOMPARE(pty->receive(1, 100), QByteArray());
    }

    // A device that hangs up makes reads and writes fail instead of waiting.
    void hungUpDeviceFails_data()
    {
        QTest::addColumn<bool>("waitingRead");
        QTest::newRow("reads that return at once") << false;
        QTest::newRow("a read that waits for ever") << true;
    }
    void hungUpDeviceFails()
    {
        QFETCH(bool, waitingRead);
        win32::COMMTIMEOUTS waitForever{0, 0, 0, 0, 0};
        if (waitingRead)
            QVERIFY(win32::SetCommTimeouts(handle, &waitForever));
        QVERIFY(pty->send("late"));
        std::thread unplug([&] {
            QTest::qSleep(waitingRead ? 50 : 0);
            pty->closeMaster();
        });
        if (!waitingRead)
            unplug.join();
        win32::DWORD count = 0;
        char buffer[100];
        const bool ok = win32::ReadFile(handle, buffer, sizeof buffer, &count, nullptr);
        if (waitingRead)
            unplug.join();
        QVERIFY(!ok);
        QCOMPARE(count, 0u);
        QCOMPARE(ReadPort(handle), QByteArray());
        QVERIFY(!WritePort(handle, "hello"));
        QCOMPARE(messages->texts(), QStringList{SendError});
    }
};

QTEST_GUILESS_MAIN(tst_ModZemoPorts)
#include "tst_ModZemoPorts.moc"
