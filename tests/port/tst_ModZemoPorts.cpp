#include "port/ModZemoPorts.h"
#include "port/OpenFailure.h"
#include "support/MessageRecorder.h"
#include "support/PtyPair.h"
#include "support/TestPortsDir.h"
#include "support/Unprivileged.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace modZEMO;

class tst_ModZemoPorts : public QObject {
    Q_OBJECT

    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<TestPortsDir> ports;
    std::unique_ptr<MessageRecorder> messages;
    win32::HANDLE handle = win32::INVALID_HANDLE_VALUE;

    // The timeouts every connect sets: reads return at once.
    static void setNonWaitingReads(win32::HANDLE h)
    {
        win32::COMMTIMEOUTS t{win32::MAXDWORD, 0, 0, 0, 0};
        QVERIFY(win32::SetCommTimeouts(h, &t));
    }

    static QByteArray allByteValues()
    {
        QByteArray bytes;
        for (int i = 0; i < 250; ++i)
            bytes.append(char(255 - i));
        return bytes;
    }

private slots:
    void init()
    {
        pty = std::make_unique<PtyPair>();
        ports = std::make_unique<TestPortsDir>();
        QVERIFY(pty->isOpen());
        QVERIFY(ports->link(7, pty->slavePath()));
        messages = std::make_unique<MessageRecorder>();
        handle = OpenPort(QStringLiteral("COM7"));
        QVERIFY(handle != win32::INVALID_HANDLE_VALUE);
        setNonWaitingReads(handle);
    }

    void cleanup()
    {
        win32::CloseHandle(handle);
        messages.reset();
        ports.reset();
        pty.reset();
    }

    void readsTakeAtMost100BytesEach()
    {
        const QByteArray sent = allByteValues();
        QVERIFY(pty->send(sent));
        QVERIFY(pty->waitUntilQueued(sent.size()));
        QCOMPARE(ReadPort(handle), sent.mid(0, 100));
        QCOMPARE(ReadPort(handle), sent.mid(100, 100));
        QCOMPARE(ReadPort(handle), sent.mid(200));
        QCOMPARE(ReadPort(handle), QByteArray());
    }

    void zeroByteDoesNotEndTheData()
    {
        const QByteArray sent("ab\0cd", 5);
        QVERIFY(pty->send(sent));
        QVERIFY(pty->waitUntilQueued(sent.size()));
        QCOMPARE(ReadPort(handle), sent);
    }

    void everyByteValueGoesOutUnchanged()
    {
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all.append(char(i));
        QVERIFY(WritePort(handle, all));
        QCOMPARE(pty->receive(all.size()), all);
        QVERIFY(messages->messages().isEmpty());
    }

    void byteFFComesInUnchanged()
    {
        QVERIFY(pty->send("\xff\x80\x7f"));
        QVERIFY(pty->waitUntilQueued(3));
        QCOMPARE(ReadPort(handle), QByteArray("\xff\x80\x7f"));
    }

    void emptyTextSendsNothing()
    {
        QVERIFY(WritePort(handle, QByteArray()));
        QVERIFY(WritePort(handle, "x"));
        // The one byte behind the empty write arrives alone.
        QCOMPARE(pty->receive(2, 500), QByteArray("x"));
        QVERIFY(messages->messages().isEmpty());
    }

    void longTextArrivesWhole_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("exactly 100") << 100;
        QTest::newRow("250") << 250;
        // More than the driver queues: the write must wait for room.
        QTest::newRow("60000") << 60000;
    }

    void longTextArrivesWhole()
    {
        QFETCH(int, size);
        QByteArray sent(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            sent[i] = char(i * 7 + i / 256);
        QByteArray received;
        std::thread device([&] { received = pty->receive(size, 20000); });
        const bool ok = WritePort(handle, sent);
        device.join();
        QVERIFY(ok);
        QCOMPARE(received.size(), sent.size());
        QCOMPARE(received, sent);
    }

    void secondOpenFailsInThisProcess()
    {
        QCOMPARE(OpenPort(QStringLiteral("COM7")), win32::INVALID_HANDLE_VALUE);
        QVERIFY(win32::CloseHandle(handle));
        const auto again = OpenPort(QStringLiteral("COM7"));
        QVERIFY(again != win32::INVALID_HANDLE_VALUE);
        handle = again;
    }

    void secondOpenFailsInAnotherProcess()
    {
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0)
            _exit(OpenPort(QStringLiteral("COM7")) == win32::INVALID_HANDLE_VALUE ? 0 : 1);
        int status = -1;
        const QDeadlineTimer deadline(10000);
        pid_t done = 0;
        while ((done = waitpid(child, &status, WNOHANG)) == 0 && !deadline.hasExpired())
            QTest::qWait(10);
        if (done != child) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            QFAIL("the child process did not finish");
        }
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    void permissionDeniedSaysWhatToDo()
    {
        QVERIFY(win32::CloseHandle(handle));
        const QByteArray device = QFile::encodeName(pty->slavePath());
        QVERIFY(::chmod(device.constData(), 0) == 0);
        QVERIFY(::chmod(QFile::encodeName(ports->path()).constData(), 0755) == 0);
        const QByteArray reason = RunUnprivileged([] {
            const bool refused = OpenPort(QStringLiteral("COM7")) == win32::INVALID_HANDLE_VALUE;
            return refused ? openfailure::Last().toUtf8() : QByteArray("opened");
        });
        QCOMPARE(reason, device + ": permission denied: add yourself to the dialout group "
                                  "(sudo adduser $USER dialout) and log in again");
    }

    void deviceNameFormsAreAccepted()
    {
        QVERIFY(win32::CloseHandle(handle));
        handle = OpenPort(QStringLiteral("\\\\.\\COM7"));
        QVERIFY(handle != win32::INVALID_HANDLE_VALUE);
        QCOMPARE(OpenPort(QStringLiteral("COM8")), win32::INVALID_HANDLE_VALUE);
        QCOMPARE(OpenPort(pty->slavePath()), win32::INVALID_HANDLE_VALUE);
    }

    void closedHandleShowsTheBoxOncePerWrite()
    {
        QVERIFY(win32::CloseHandle(handle));
        QVERIFY(!WritePort(handle, "abc"));
        QVERIFY(!WritePort(handle, QByteArray(250, 'x')));
        QCOMPARE(messages->texts(), QStringList(2, QStringLiteral("Error sending data to the COM port")));
        QCOMPARE(ReadPort(handle), QByteArray());
    }

    void handlesAreNeverReused()
    {
        QVERIFY(win32::CloseHandle(handle));
        const auto stale = handle;
        handle = OpenPort(QStringLiteral("COM7"));
        QVERIFY(handle != win32::INVALID_HANDLE_VALUE);
        QVERIFY(handle != stale);
        QVERIFY(!win32::CloseHandle(stale));
        QVERIFY(!win32::CloseHandle(win32::INVALID_HANDLE_VALUE));
        QVERIFY(!win32::CloseHandle(0));
        // The stale handle reaches nothing, and the live one still works.
        QVERIFY(pty->send("z"));
        QVERIFY(pty->waitUntilQueued(1));
        win32::DWORD count = 0;
        char byte = 0;
        QVERIFY(!win32::ReadFile(stale, &byte, 1, &count, nullptr));
        setNonWaitingReads(handle);
        QCOMPARE(ReadPort(handle), QByteArray("z"));
    }

    void hungUpDeviceFailsInsteadOfWaiting()
    {
        QVERIFY(pty->send("late"));
        pty->closeMaster();
        win32::DWORD count = 0;
        char buffer[100];
        QVERIFY(!win32::ReadFile(handle, buffer, sizeof buffer, &count, nullptr));
        QCOMPARE(count, 0u);
        QCOMPARE(ReadPort(handle), QByteArray());
        QVERIFY(!WritePort(handle, "hello"));
        QCOMPARE(messages->messages().size(), 1);
    }

    void hungUpDeviceFailsWaitingReadsToo()
    {
        win32::COMMTIMEOUTS waitForever{0, 0, 0, 0, 0};
        QVERIFY(win32::SetCommTimeouts(handle, &waitForever));
        std::thread unplug([this] {
            QTest::qSleep(50);
            pty->closeMaster();
        });
        win32::DWORD count = 0;
        char buffer[100];
        const bool ok = win32::ReadFile(handle, buffer, sizeof buffer, &count, nullptr);
        unplug.join();
        QVERIFY(!ok);
    }

    void portExistsFollowsThePortsDirectory()
    {
        QVERIFY(PortExists(7));
        QVERIFY(!PortExists(31));
        QVERIFY(ports->remove(7));
        QVERIFY(!PortExists(7));
    }
};

QTEST_GUILESS_MAIN(tst_ModZemoPorts)
#include "tst_ModZemoPorts.moc"
