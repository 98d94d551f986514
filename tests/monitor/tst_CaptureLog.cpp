#include "monitor/CaptureLog.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <numeric>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QByteArray EveryByte()
{
    QByteArray all(256, 0);
    std::iota(all.begin(), all.end(), char(0));
    return all;
}

// Opens path for reading after 10 s, so that an open waiting for a reader fails rather than hangs.
class ReaderIfStuck {
public:
    explicit ReaderIfStuck(const QString& path)
        : thread_([this, name = QFile::encodeName(path), done = finished_.get_future()] {
            if (done.wait_for(std::chrono::seconds(10)) == std::future_status::timeout)
                reader_ = ::open(name.constData(), O_RDONLY | O_NONBLOCK);
        })
    {
    }
    ~ReaderIfStuck()
    {
        finished_.set_value();
        thread_.join();
        if (reader_ >= 0)
            ::close(reader_);
    }

private:
    std::promise<void> finished_;
    int reader_ = -1;
    std::thread thread_;
};

QByteArray ReadSome(int fd)
{
    char buffer[1024];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    return n > 0 ? QByteArray(buffer, n) : QByteArray();
}

}

class tst_CaptureLog : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void initTestCase()
    {
        // As the program does: a pipe whose reader has gone fails the write instead.
        std::signal(SIGPIPE, SIG_IGN);
        QVERIFY(dir_.isValid());
    }

    // Qt's seek on a character device warned.
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral(".*"))); }

    // Refused at once, with the reason: a pipe with no reader is not waited for.
    void targetRefused_data()
    {
        QTest::addColumn<QString>("target"); // "fifo" is made under the test's folder
        QTest::addColumn<QString>("reason");
        QTest::newRow("a pipe that nothing reads") << "fifo" << "nothing is reading from the pipe";
        QTest::newRow("a folder") << "/" << "Is a directory";
        QTest::newRow("a folder that is not there") << "missing/capture.bin" << "No such file or directory";
    }

    void targetRefused()
    {
        QFETCH(QString, target);
        const QString path = target.startsWith(u'/') ? target : dir_.filePath(target);
        QVERIFY(target != u"fifo" || ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        CaptureLog log;
        QString error;
        {
            ReaderIfStuck reader(path);
            QVERIFY(!log.Open(path, error));
        }
        QTEST(error, "reason");
        QVERIFY(!log.IsOpen());
    }

    // A failed write keeps its reason and stops the log, so it is not reported again.
    void writeFails_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a full disk") << "/dev/full" << "No space left on device";
        QTest::newRow("a pipe whose reader leaves") << "fifo" << "Broken pipe";
    }

    void writeFails()
    {
        QFETCH(QString, target);
        const bool pipe = target == u"fifo";
        const QString path = pipe ? dir_.filePath("reader-leaves") : target;
        QVERIFY(!pipe || ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        const int reader = pipe ? ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK) : -1;
        QVERIFY(!pipe || reader >= 0);
        CaptureLog log;
        QString error;
        QVERIFY(log.Open(path, error));
        if (pipe) {
            QVERIFY(log.Write("data", error));
            QCOMPARE(ReadSome(reader), QByteArray("data"));
            ::close(reader);
        }
        QVERIFY(!log.Write(EveryByte(), error));
        QTEST(error, "reason");
        QVERIFY(!log.IsOpen());
    }
};

QTEST_GUILESS_MAIN(tst_CaptureLog)
#include "tst_CaptureLog.moc"
