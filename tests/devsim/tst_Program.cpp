#include "port/ModZemoPorts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Starts the simulator and returns the ports directory it reports.
QString StartSimulator(QProcess& process, const QStringList& arguments)
{
    process.start(QStringLiteral(WENDALE_DEVSIM_PATH), arguments);
    static const QRegularExpression directoryLine(QStringLiteral("Ports directory: (.*)\n"));
    QString output;
    const auto told = [&] { return (output += QString::fromLocal8Bit(process.readAllStandardOutput())).contains(directoryLine); };
    return QTest::qWaitFor(told, 5000) ? directoryLine.match(output).captured(1) : QString();
}

}

class tst_Program : public QObject {
    Q_OBJECT

private slots:
    void linksPortsAndRemovesThem()
    {
        QTemporaryDir scratch;
        const QString portsDir = scratch.filePath(QStringLiteral("new/ports"));
        QProcess process;
        QCOMPARE(StartSimulator(process, {"--ports-dir", portsDir}), portsDir);
        // The program's port layer reaches the talker on COM1.
        qputenv("WENDALE_PORTS_DIR", QFile::encodeName(portsDir));
        const win32::HANDLE com1 = modZEMO::OpenPort(QStringLiteral("COM1"));
        QVERIFY(com1 != win32::INVALID_HANDLE_VALUE);
        QVERIFY(modZEMO::WritePort(com1, "ping"));
        QByteArray got;
        QTRY_VERIFY((got += modZEMO::ReadPort(com1)).contains("ping") && got.contains("Hello from COM1 #"));
        win32::CloseHandle(com1);
        qunsetenv("WENDALE_PORTS_DIR");

        process.terminate();
        QVERIFY(process.waitForFinished(5000));
        QVERIFY(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0);
        QVERIFY(!QFileInfo::exists(portsDir));
    }

    void runsAProgramWithThePorts()
    {
        QProcess process;
        process.start(QStringLiteral(WENDALE_DEVSIM_PATH),
                      {"--run", "/bin/sh", "-c", "ls \"$WENDALE_PORTS_DIR\"; exit 3"});
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 3);
        const QString output = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QStringList lines = output.split('\n');
        for (const QString& name : QStringList{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7"})
            QVERIFY2(lines.contains(name), qPrintable(output));
        const QString portsDir = output.section(QStringLiteral("Ports directory: "), 1).section(u'\n', 0, 0);
        QVERIFY(!portsDir.isEmpty() && !QFileInfo::exists(portsDir));
    }

    // Nothing is made, and a file of someone else's where a link would go is left alone.
    void refusesToStart_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("rate not a number") << QStringList{"--talker-rate", "fast"};
        QTest::newRow("negative delay") << QStringList{"--cm11-delay-ms", "-5"};
        QTest::newRow("run without program") << QStringList{"--run"};
        QTest::newRow("unknown option") << QStringList{"--colour"};
        QTest::newRow("a file as COM3") << QStringList{"--ports-dir"};
    }
    void refusesToStart()
    {
        QFETCH(QStringList, arguments);
        QTemporaryDir portsDir;
        QFile stranger(portsDir.filePath(QStringLiteral("COM3")));
        QVERIFY(stranger.open(QIODevice::WriteOnly) && stranger.write("mine") == 4);
        stranger.close();
        QProcess process;
        process.start(QStringLiteral(WENDALE_DEVSIM_PATH), arguments.endsWith("--ports-dir")
                          ? arguments << portsDir.path() : arguments);
        QVERIFY(process.waitForFinished(5000));
        QVERIFY(process.exitCode() != 0);
        QVERIFY(!process.readAllStandardOutput().contains("Ports directory"));
        const QByteArray said = process.readAllStandardError();
        QVERIFY(!arguments.contains("--ports-dir") ? !said.isEmpty() : said.contains("COM3"));
        QCOMPARE(QDir(portsDir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
                 QStringList{"COM3"});
        QVERIFY(stranger.open(QIODevice::ReadOnly));
        QCOMPARE(stranger.readAll(), QByteArray("mine"));
    }
};

QTEST_GUILESS_MAIN(tst_Program)
#include "tst_Program.moc"
