#include "support/window/TestWindow.h"

#include <QTemporaryDir>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <numeric>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray EveryByte()
{
    QByteArray all(256, 0);
    std::iota(all.begin(), all.end(), char(0));
    return all;
}

// What a non-blocking descriptor has, added to what came before.
QByteArray& ReadOn(int fd, QByteArray& so)
{
    char buffer[1024];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        so.append(buffer, n);
    return so;
}

}

// Logs into pipes and standard output, as a shell user sets them up.
class tst_LogTargets : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void initTestCase()
    {
        // As the program does.
        std::signal(SIGPIPE, SIG_IGN);
        QVERIFY(dir_.isValid());
    }

    // The reader leaves while logging: logging stops with one message that
    // says why, and the window goes on receiving.
    void pipeReaderLeaves()
    {
        const QString path = dir_.filePath("reader-leaves");
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        const int reader = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        TestWindow w({1});
        QVERIFY(Connect(w, "Generic"));
        QVERIFY(w.window.StartLog(path));
        QVERIFY(w.ports.Device(1).Send("data"));
        QByteArray logged;
        QTRY_COMPARE(ReadOn(reader, logged), QByteArray("data"));
        ::close(reader);
        QVERIFY(w.ports.Device(1).Send("more"));
        QTRY_COMPARE(w.Box("RXOut")->Text(), QByteArray("datamore"));
        QVERIFY(w.ports.Device(1).Send("again"));
        QTRY_COMPARE(w.Box("RXOut")->Text(), QByteArray("datamoreagain"));
        QCOMPARE(w.messages.Messages().size(), 1);
        QVERIFY(w.messages.Messages().front().text.contains(path));
        QCOMPARE(w.messages.Messages().front().informative, QStringLiteral("The file cannot be written: Broken pipe"));
        QVERIFY(!w.Action("FileLogMenu")->isChecked());
    }

    // --log -: every byte as received on standard output (for wendale --log - | xxd).
    void standardOutput()
    {
        TestWindow w({1});
        QVERIFY(Connect(w, "Generic"));
        int pipe[2];
        QVERIFY(::pipe2(pipe, O_NONBLOCK) == 0);
        // Standard output goes to the pipe while the bytes come; the test's
        // own report stays out of it.
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
