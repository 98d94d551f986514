// The phone tools Debian ships, run against the simulated GSM terminal through
// the window relaying in Transparent between the terminal and one end of a
// socat pty pair, the tool on the other end.

#include "devsim/GsmTerminal.h"
#include "support/HostedDevice.h"
#include "support/window/TestWindow.h"

#include <QProcess>
#include <QTemporaryDir>

namespace {

// Runs the program while the event loop turns (the window relays meanwhile),
// giving up after a minute (the process is killed as it goes); true when it ended with exit code 0.
bool Run(QProcess& process, const QString& program, const QStringList& arguments)
{
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    return process.waitForStarted()
        && QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60000)
        && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}

class tst_PhoneTools : public QObject {
    Q_OBJECT

private slots:
    void answers_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QStringList>("shows");
        QTest::addColumn<QStringList>("sent"); // messages, "number: text"
        const auto tool = [](const QStringList& command, const QStringList& shows, const QStringList& sent = {}) {
            QTest::newRow(qPrintable(command.mid(0, 2).join(' '))) << command << shows << sent;
        };
        tool({"gammu", "identify"}, {"490154203237518", "001010123456789"});
        tool({"gammu", "networkinfo"}, {"Wendale Mobile", "001 01"});
        // Stored messages in 7-bit with the extension table and in UCS2.
        tool({"gammu", "getallsms"}, {"Welcome to the Wendale network", "[room 4]", QStringLiteral(u"Grüße ☺")});
        tool({"gammu", "sendsms", "TEXT", "5550123", "-text", "Hello from gammu"}, {"reference=1"}, {"5550123: Hello from gammu"});
        tool({"gsmctl", "ME"}, {"Manufacturer: Wendale", "490154203237518"});
        tool({"gsmctl", "OP"}, {"Long name: 'Wendale Mobile'"});
        tool({"gsmctl", "SIG"}, {"<SIG0>  21"});
        tool({"gsmsendsms", "5550123", "Hello from gsmsendsms"}, {}, {"5550123: Hello from gsmsendsms"});
    }

    void answers()
    {
        QFETCH(QStringList, command);
        QTemporaryDir dir;
        HostedDevice<devsim::GsmTerminal> gsm;
        QProcess socat;
        const QString device = dir.filePath("tool");
        socat.start("socat", {"-r", dir.filePath("to-tool"), "-R", dir.filePath("from-tool"),
                              "pty,raw,echo=0,link=" + dir.filePath("relay"), "pty,raw,echo=0,link=" + device});
        QVERIFY2(socat.waitForStarted(), "socat is missing: run scripts/install-deps.sh");
        QVERIFY(QTest::qWaitFor([&] { return QFile::exists(device); }));
        TestWindow w;
        gsm.Start(w.ports, 5);
        QVERIFY(w.ports.Link(6, dir.filePath("relay")));
        QTRY_COMPARE(Items(w.List("ComPortListBox")), (QStringList{"COM5", "COM6"})); // plugged in while open
        QVERIFY(Connect(w, "Transparent") && ShowsTwoPorts(w));
        // Hex without line breaks, so that the boxes read back as the bytes.
        QVERIFY(Choose(w.List("RXBitsNrListBox"), "0") && Choose(w.List("OutCombo"), "Hex"));

        QProcess tool;
        QStringList arguments = command.mid(1);
        if (command.first() == u"gammu") {
            QFile config(dir.filePath("gammurc"));
            QVERIFY(config.open(QIODevice::WriteOnly)
                    && config.write("[gammu]\ndevice = " + QFile::encodeName(device) + "\nconnection = at115200\n") > 0
                    && config.flush());
            arguments = QStringList{"-c", config.fileName()} + arguments;
        } else {
            // gsm-utils drive DTR on open, which a pseudo-terminal refuses.
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("LD_PRELOAD", WENDALE_MODEMLINE_SHIM);
            tool.setProcessEnvironment(environment);
            arguments = QStringList{"-d", device} + arguments;
        }
        const bool succeeded = Run(tool, command.first(), arguments);
        const QString output = QString::fromUtf8(tool.readAll());
        QVERIFY2(succeeded, qPrintable(command.join(' ') + '\n' + output + "(run scripts/install-deps.sh if missing)"));
        QFETCH(QStringList, shows);
        for (const QString& text : shows)
            QVERIFY2(output.contains(text), qPrintable(output));
        QStringList sent;
        for (const auto& m : gsm->Messages())
            sent << QString::fromLatin1(m.number) + ": " + m.text;
        QTEST(sent, "sent");
        // Every byte went across both ways, and each box shows one side of the conversation.
        QTRY_COMPARE(FileBytes(dir.filePath("from-tool")), gsm->Received().Bytes());
        QTRY_COMPARE(FileBytes(dir.filePath("to-tool")), gsm->Sent().Bytes());
        QCOMPARE(QByteArray::fromHex(w.Box("RXOut")->Text()), gsm->Sent().Bytes());
        QCOMPARE(QByteArray::fromHex(w.Box("RX2Out")->Text()), gsm->Received().Bytes());
        QVERIFY(w.messages.Messages().isEmpty());
        // One timeline reads as the conversation, the tool's command first, a run a line.
        w.Action("ViewOneTimeline")->trigger();
        QByteArray commands;
        QByteArray answers;
        QList<QByteArray> runs = w.Box("RXOut")->Text().split('\n');
        runs.removeIf([](const QByteArray& line) { return !line.contains('\xBB'); });
        QVERIFY(runs.value(0).contains("COM6 \xBB COM5: "));
        for (const QByteArray& run : runs)
            (run.contains("COM6 \xBB") ? commands : answers) += QByteArray::fromHex(run.mid(run.indexOf(": ", 15) + 2));
        QCOMPARE(commands, gsm->Received().Bytes());
        QCOMPARE(answers, gsm->Sent().Bytes());
        socat.kill();
        socat.waitForFinished();
    }
};

QTEST_MAIN(tst_PhoneTools)
#include "tst_PhoneTools.moc"
