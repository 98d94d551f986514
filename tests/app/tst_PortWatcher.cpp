#include "app/PortWatcher.h"
#include "port/ComNames.h"
#include "support/ScopedVariable.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class tst_PortWatcher : public QObject {
    Q_OBJECT

private slots:
    // Each step is told, also after the ports directory or its folder came back, and names Init's port.
    void toldAfterEveryChange_data()
    {
        QTest::addColumn<QString>("ports"); // the ports directory under the test's folder
        QTest::addColumn<QStringList>("steps"); // "make", "link COMn", "remove FOLDER"; made first unless "make" leads
        QTest::newRow("removed and made again")
            << "ports" << QStringList{"link COM1", "remove ports", "make", "link COM2", "link COM3"};
        QTest::newRow("made after the start") << "ports" << QStringList{"make", "link COM4"};
        QTest::newRow("the folder above goes too") << "config/ports" << QStringList{"remove config", "make", "link COM5",
                                                                                   "remove config/ports", "make", "link COM6"};
    }

    void toldAfterEveryChange()
    {
        QFETCH(QString, ports);
        QFETCH(QStringList, steps);
        QTemporaryDir top;
        const QDir dir(top.filePath(ports));
        QVERIFY(steps.front() == u"make" || QDir().mkpath(dir.path()));
        ScopedVariable variable("WENDALE_PORTS_DIR", QFile::encodeName(dir.path()));
        PortWatcher watcher;
        QSignalSpy changed(&watcher, &PortWatcher::Changed);
        for (const QString& step : std::as_const(steps)) {
            const QString argument = step.section(u' ', 1);
            if (step == u"make") {
                QVERIFY(QDir().mkpath(dir.path()));
            } else if (step.startsWith(u"link")) {
                QVERIFY(QFile::link(QStringLiteral("/dev/null"), dir.filePath(argument)));
            } else {
                QVERIFY(QDir(top.filePath(argument)).removeRecursively());
            }
            QTRY_VERIFY2(!changed.isEmpty(), qPrintable(step));
            changed.clear();
            if (step.startsWith(u"link"))
                QCOMPARE(comnames::ComDevicePath(comnames::ComNumber(argument)), QByteArray("/dev/null"));
        }
    }
};

QTEST_GUILESS_MAIN(tst_PortWatcher)
#include "tst_PortWatcher.moc"
