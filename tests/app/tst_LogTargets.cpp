#include "support/TelnetBytes.h"
#include "support/window/TestWindow.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// What a non-blocking descriptor has, added to what came before.
QByteArray& ReadOn(int fd, QByteArray& so)
{
    char buffer[1024];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        so.append(buffer, n);
    return so;
}

}

// Logs into standard output, as a shell user sets it up.
class tst_LogTargets : public QObject {
    Q_OBJECT

private slots:
    // --log -: every byte as received on standard output (for wendale --log - | xxd).
    void standardOutput()
    {
        TestWindow w({1});
        QVERIFY(Connect(w, "Generic"));
        int pipe[2];
        QVERIFY(::pipe2(pipe, O_NONBLOCK) == 0);
        // Only while the bytes come, so that the test's own report stays out.
        std::fflush(stdout);
        const int saved = ::dup(STDOUT_FILENO);
        ::dup2(pipe[1], STDOUT_FILENO);
        ::close(pipe[1]);
        QByteArray logged;
        if (w.window.StartLog(QStringLiteral("-")) && w.ports.Device(1).Send(EveryByte()))
            (void)QTest::qWaitFor([&] { return ReadOn(pipe[0], logged).size() >= 256; });
        std::fflush(stdout);
        ::dup2(saved, STDOUT_FILENO);
        ::close(saved);
        ::close(pipe[0]);
        QCOMPARE(logged, EveryByte());
        QVERIFY(w.messages.Messages().isEmpty());
    }
};

QTEST_MAIN(tst_LogTargets)
#include "tst_LogTargets.moc"
