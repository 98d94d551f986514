#include "app/CommandLine.h"

#include <QRegularExpression>
#include <QTest>

class tst_CommandLine : public QObject {
    Q_OBJECT

private slots:
    void read_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("outcome"); // Run with the log files, Usage with the problem, Help or Version
        const QString blob(100000, u'x');
        QTest::newRow("nothing") << QStringList{} << "Run ";
        QTest::newRow("--log FILE") << QStringList{"--log", "a.bin"} << "Run a.bin";
        QTest::newRow("--log=FILE") << QStringList{"--log=a.bin"} << "Run a.bin";
        QTest::newRow("a file named -h") << QStringList{"--log", "-h"} << "Run -h";
        QTest::newRow("--log alone") << QStringList{"--log"} << "Usage: --log needs a file name";
        QTest::newRow("help") << QStringList{"--help"} << "Help";
        QTest::newRow("--version") << QStringList{"--version"} << "Version";
        QTest::newRow("--version after --log") << QStringList{"--log", "a.bin", "--version"} << "Version";
        QTest::newRow("--log - is standard output") << QStringList{"--log", "-"} << "Run -";
        QTest::newRow("--defaults with --log") << QStringList{"--defaults", "--log", "a.bin"} << "Run a.bin, defaults";
        QTest::newRow("--log twice") << QStringList{"--log", "a.bin", "--log", "b.bin"} << "Usage: --log given twice";
        QTest::newRow("--log and --log=") << QStringList{"--log=a.bin", "--log=a.bin"} << "Usage: --log given twice";
        QTest::newRow("--log= after one") << QStringList{"--log", "a", "--log="} << "Usage: --log needs a file name";
        QTest::newRow("--log-text beside --log") << QStringList{"--log-text=t.txt", "--log", "a.bin"} << "Run a.bin | t.txt";
        QTest::newRow("--log-text twice") << QStringList{"--log-text", "t", "--log-text", "u"}
                                          << "Usage: --log-text given twice";
        QTest::newRow("--log-text alone") << QStringList{"--log-text"} << "Usage: --log-text needs a file name";
        const QString unknown = QStringLiteral("Usage: unknown option ");
        QTest::newRow("an unknown option of 200 characters") << QStringList{blob.left(200)} << unknown + blob.left(200);
        QTest::newRow("a longer one, cut to 200") << QStringList{blob} << unknown + blob.left(197) + "...";
    }

    void read()
    {
        QFETCH(QStringList, arguments);
        arguments.prepend(QStringLiteral("wendale"));
        using O = CommandLine::Outcome;
        const CommandLine line = ReadCommandLine(arguments);
        const QString outcome = line.outcome == O::Run
                                    ? "Run " + line.logFile + (line.textLogFile.isEmpty() ? "" : " | " + line.textLogFile)
                                          + (line.defaults ? ", defaults" : "")
                                : line.outcome == O::Usage ? "Usage: " + line.problem
                                : line.outcome == O::Help  ? QStringLiteral("Help")
                                                           : QStringLiteral("Version");
        QTEST(outcome, "outcome");
    }

    void version()
    {
        QVERIFY(QRegularExpression(QStringLiteral("^wendale \\d+\\.\\d+\\.\\d+$")).match(CommandLineVersion()).hasMatch());
    }
};

QTEST_APPLESS_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"
