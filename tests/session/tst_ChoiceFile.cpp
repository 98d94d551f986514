#include "session/ChoiceFile.h"
#include "session/SavedHistory.h"
#include "support/TestConfigDir.h"
#include "transmit/RecallKeys.h"
#include "transmit/SendHistory.h"
#include "transmit/TrimSpaces.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <cstdio>
#include <unistd.h>

using modZEMO::SendHistory;

namespace {

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What fn writes to standard error.
QByteArray StandardErrorOf(const std::function<void()>& fn)
{
    std::fflush(stderr);
    FILE* capture = std::tmpfile();
    const int saved = ::dup(2);
    ::dup2(::fileno(capture), 2);
    fn();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    QFile read;
    read.open(capture, QIODevice::ReadOnly);
    read.seek(0);
    const QByteArray text = read.readAll();
    std::fclose(capture);
    return text;
}

}

class tst_ChoiceFile : public QObject {
    Q_OBJECT

private slots:
    // Every character the send box can hold comes back where it was, the
    // recall keys where they stood, through the file and back.
    void historyKeptExactly()
    {
        TestConfigDir config;
        QString every;
        for (int c = 0; c < 256; ++c)
            every += QChar(c);
        const QStringList sent{every.left(100), every.mid(100, 100), every.mid(200), QStringLiteral("Grüße ▶ \r\n")};
        RecallKeys keys;
        for (const QString& text : sent)
            keys.Store(text);
        session::ChoiceFile file(true);
        file.Save({{"Send/History", session::SavedHistory()}, {"Send/HistoryIndex", int(keys.HistoryIndex())}});

        session::ForgetHistory(keys);
        QCOMPARE(SendHistory.Recall(1), QString());
        const QVariantMap loaded = session::ChoiceFile(true).Load();
        QVERIFY(session::RestoreHistory(loaded.value("Send/History").toStringList(),
                                        loaded.value("Send/HistoryIndex").toInt(), keys));
        for (int16_t n = 1; n <= 4; ++n)
            QCOMPARE(SendHistory.Recall(n), modZEMO::TrimSpaces(sent[n - 1]));
        QCOMPARE(SendHistory.Entry(5), QString());
        QCOMPARE(keys.RecallIndex(), 5);
        QVERIFY(!session::RestoreHistory({QStringLiteral("too short")}, 1, keys));
    }

    // A file not this program's is left as it is, said once, and replaced by
    // the first choice the user makes; a directory in its place stays.
    void unusableFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QByteArray>("said");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("too large") << QByteArray(2 << 20, 'x') << QByteArray("is too large") << true;
        QTest::newRow("a directory") << QByteArray() << QByteArray("cannot be read") << false;
    }
    void unusableFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QByteArray, said);
        QFETCH(bool, replaced);
        TestConfigDir config;
        const QString path = session::ChoiceFile::Path();
        QDir().mkpath(QFileInfo(path).path());
        if (contents.isEmpty()) {
            QDir().mkpath(path);
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }
        session::ChoiceFile choices(true);
        QVariantMap loaded;
        const QByteArray error = StandardErrorOf([&] { loaded = choices.Load(); });
        QVERIFY(loaded.isEmpty());
        QCOMPARE(error.count('\n'), 1);
        QVERIFY2(error.contains(said), error);
        QCOMPARE(Contents(path), contents);

        StandardErrorOf([&] { choices.Save({{"Line/Speed", "57600"}}); });
        QCOMPARE(QFileInfo(path).isDir(), !replaced);
        if (replaced)
            QCOMPARE(session::ChoiceFile(true).Load().value("Line/Speed").toString(), QStringLiteral("57600"));
    }

    // A file that cannot be written: said once however often the user changes
    // something; off, nothing is read, written or deleted.
    void writeFailureAndOff()
    {
        TestConfigDir config;
        const QString folder = QFileInfo(session::ChoiceFile::Path()).path();
        QFile blocking(folder);
        QVERIFY(blocking.open(QIODevice::WriteOnly));
        blocking.close();
        session::ChoiceFile choices(true);
        const QByteArray error = StandardErrorOf([&] {
            for (int i = 0; i < 3; ++i)
                choices.Save({{"Line/Speed", QString::number(i)}});
        });
        QCOMPARE(error.count('\n'), 1);
        QVERIFY2(error.contains("cannot be written"), error);

        QFile::remove(folder);
        session::ChoiceFile(true).Save({{"Line/Speed", "57600"}});
        session::ChoiceFile off(false);
        off.Save({{"Line/Speed", "300"}});
        off.Forget();
        QVERIFY(off.Load().isEmpty());
        QCOMPARE(session::ChoiceFile(true).Load().value("Line/Speed").toString(), QStringLiteral("57600"));
    }
};

QTEST_GUILESS_MAIN(tst_ChoiceFile)
#include "tst_ChoiceFile.moc"
