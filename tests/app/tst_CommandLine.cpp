#include "app/CommandLine.h"

#include <QRegularExpression>
#include <QTest>

class tst_CommandLine : public QObject {
    Q_OBJECT

private slots:
    void read_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("outcome"); // Run with the log file, Usage with the problem, Help or Version
        const QString blob(100000, u'x');
        QTest::newRow("nothing") << QStringList{"wendale"} << "Run ";
        QTest::newRow("--log FILE") << QStringList{"wendale", "--log", "a.bin"} << "Run a.bin";
        QTest::newRow("--log=FILE") << QStringList{"wendale", "--log=a.bin"} << "Run a.bin";
        QTest::newRow("a file named -h") << QStringList{"wendale", "--log", "-h"} << "Run -h";
        QTest::newRow("--log alone") << QStringList{"wendale", "--log"} << "Usage: --log needs a file name";
        QTest::newRow("help") << QStringList{"wendale", "--help"} << "Help";
        QTest::newRow("--version") << QStringList{"wendale", "--version"} << "Version";
        QTest::newRow("--version after --log") << QStringList{"wendale", "--log", "a.bin", "--version"} << "Version";
        QTest::newRow("--log - is standard output") << QStringList{"wendale", "--log", "-"} << "Run -";
        QTest::newRow("--log twice") << QStringList{"wendale", "--log", "a.bin", "--log", "b.bin"}
                                     << "Usage: --log given twice";
        QTest::newRow("--log and --log=") << QStringList{"wendale", "--log=a.bin", "--log=a.bin"}
                                          << "Usage: --log given twice";
        QTest::newRow("--log= empty after one") << QStringList{"wendale", "--log", "a.bin", "--log="}
                                                << "Usage: --log needs a file name";
        QTest::newRow("an unknown argument of 200 characters, whole")
            << QStringList{"wendale", blob.left(200)} << "Usage: unknown option " + blob.left(200);
        QTest::newRow("a longer one, cut to 200") << QStringList{"wendale", blob}
                                                  << "Usage: unknown option " + blob.left(197) + "...";
    }

    void read()
    {
        QFETCH(QStringList, arguments);
        using O = CommandLine::Outcome;
        const CommandLine line = ReadCommandLine(arguments);
        const QString outcome = line.outcome == O::Run     ? "Run " + line.logFile
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
