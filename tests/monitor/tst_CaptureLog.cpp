#include "monitor/CaptureLog.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

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

    // Refused at once (a pipe with no reader is not waited for), or a write that fails: the reason is
    // kept and the log closed, so it is not reported again.
    void fails_data()
    {
        QTest::addColumn<QString>("target"); // "fifo" is made under the test's folder
        QTest::addColumn<bool>("opens"); // a pipe that opens has a reader, which leaves after a write
        QTest::addColumn<QString>("reason");
        QTest::newRow("a pipe that nothing reads") << "fifo" << false << "nothing is reading from the pipe";
        QTest::newRow("a folder") << "/" << false << "Is a directory";
        QTest::newRow("a folder that is not there") << "missing/capture.bin" << false << "No such file or directory";
        QTest::newRow("a full disk") << "/dev/full" << true << "No space left on device";
        QTest::newRow("a pipe whose reader leaves") << "fifo" << true << "Broken pipe";
    }

    void fails()
    {
        QFETCH(QString, target);
        QFETCH(bool, opens);
        const bool pipe = target == u"fifo";
        const QString path = target.startsWith(u'/') ? target : dir_.filePath(pipe ? QTest::currentDataTag() : target);
        QVERIFY(!pipe || ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        const int reader = pipe && opens ? ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK) : -1;
        QVERIFY(!(pipe && opens) || reader >= 0);
        CaptureLog log;
        QString error;
        {
            ReaderIfStuck stuck(path);
            QCOMPARE(log.Open(path, error), opens);
        }
        if (reader >= 0) {
            QVERIFY(log.Write("data", error));
            QCOMPARE(ReadSome(reader), QByteArray("data"));
            ::close(reader);
        }
        QVERIFY(!opens || !log.Write(QByteArray(4096, 'x'), error));
        QTEST(error, "reason");
        QVERIFY(!log.IsOpen());
    }
};

QTEST_GUILESS_MAIN(tst_CaptureLog)
#include "tst_CaptureLog.moc"
