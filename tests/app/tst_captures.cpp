#include "app/CommandLine.h"
#include "app/FileDialog.h"
#include "app/frmMain.h"
#include "monitor/ReceiveView.h"
#include "support/TestWindow.h"
#include "support/WindowSteps.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

namespace {

QByteArray EveryByte()
{
    QByteArray bytes;
    for (int code = 0; code < 256; ++code)
        bytes.append(char(code));
    return bytes;
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// Answers the file dialog with path and the file type at typeIndex.
struct FileAnswer {
    explicit FileAnswer(const QString& path, int typeIndex = 0)
    {
        modZEMO::SetSaveFileHandler([=](const QString&, const QStringList& types, QString* type) {
            if (type)
                *type = types.value(typeIndex);
            return path;
        });
    }
    ~FileAnswer() { modZEMO::SetSaveFileHandler({}); }
};

void Connect(frmMain& w, bool twoPorts)
{
    ChooseInterface(w, twoPorts ? frmMain::Transparent : frmMain::Generic);
    w.COMInitButton_Click();
    QVERIFY(w.PortIsOpen);
}

}

class tst_captures : public QObject {
    Q_OBJECT

private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("logFile");
        using O = CommandLine::Outcome;
        QTest::newRow("nothing") << QStringList{"wendale"} << int(O::Run) << QString();
        QTest::newRow("--log FILE") << QStringList{"wendale", "--log", "a.bin"} << int(O::Run) << "a.bin";
        QTest::newRow("--log=FILE") << QStringList{"wendale", "--log=a.bin"} << int(O::Run) << "a.bin";
        QTest::newRow("a file named -h") << QStringList{"wendale", "--log", "-h"} << int(O::Run) << "-h";
        QTest::newRow("--log alone") << QStringList{"wendale", "--log"} << int(O::Usage) << QString();
        QTest::newRow("unknown") << QStringList{"wendale", "--logg", "a"} << int(O::Usage) << QString();
        QTest::newRow("help") << QStringList{"wendale", "--help"} << int(O::Help) << QString();
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, outcome);
        QFETCH(QString, logFile);
        const CommandLine line = ReadCommandLine(arguments);
        QCOMPARE(int(line.outcome), outcome);
        if (line.outcome == CommandLine::Outcome::Run)
            QCOMPARE(line.logFile, logFile);
    }

    // The log holds exactly what came, across a disconnect, added to what
    // the file held; in two-port operation each port has its own file.
    void logKeepsEveryByte_data()
    {
        QTest::addColumn<bool>("twoPorts");
        QTest::newRow("one port") << false;
        QTest::newRow("two ports") << true;
    }

    void logKeepsEveryByte()
    {
        QFETCH(bool, twoPorts);
        QTemporaryDir dir;
        const QString path = dir.filePath("capture.bin");
        { QFile earlier(path); QVERIFY(earlier.open(QIODevice::WriteOnly)); earlier.write("earlier"); }
        TestWindow t({1, 2});
        frmMain& w = t.w;
        FileAnswer answer(path);
        w.FileLogMenu->trigger();
        QVERIFY(w.FileLogMenu->isChecked());
        QByteArray expected[2] = {"earlier", ""};
        for (int session = 0; session < 2; ++session) {
            Connect(w, twoPorts);
            for (int port = 0; port < (twoPorts ? 2 : 1); ++port) {
                const QByteArray data = EveryByte().repeated(8 + port);
                QVERIFY(t.ports.device(1 + port).send(data));
                expected[port] += data;
            }
            QTRY_COMPARE(Contents(path), expected[0]);
            w.COMInitButton_Click();
        }
        if (twoPorts)
            QCOMPARE(Contents(dir.filePath("capture.COM2.bin")), expected[1]);
        w.FileLogMenu->trigger();
        QVERIFY(!w.FileLogMenu->isChecked());
        QVERIFY(t.messages.messages().isEmpty());
    }

    void logThatCannotBeWrittenStops_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("disk full") << "/dev/full";
        QTest::newRow("a folder") << "/";
    }

    void logThatCannotBeWrittenStops()
    {
        QFETCH(QString, path);
        TestWindow t({1});
        frmMain& w = t.w;
        const MessageRecorder& messages = t.messages;
        Connect(w, false);
        FileAnswer answer(path);
        w.FileLogMenu->trigger();
        QVERIFY(t.ports.device(1).send("data"));
        QTRY_COMPARE(w.RXOut->Text(), QByteArray("data"));
        QCOMPARE(messages.messages().size(), 1);
        QVERIFY(messages.messages().front().text.contains(path));
        QVERIFY(!messages.messages().front().informative.isEmpty());
        QVERIFY(!w.FileLogMenu->isChecked());
        QVERIFY(t.ports.device(1).send("more"));
        QTRY_COMPARE(w.RXOut->Text(), QByteArray("datamore"));
        QCOMPARE(messages.messages().size(), 1);
    }

    void saveWritesTextOrBytes_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("text as shown") << 0;
        QTest::newRow("received bytes") << 1;
    }

    void saveWritesTextOrBytes()
    {
        QFETCH(int, type);
        QTemporaryDir dir;
        TestWindow t({1, 2});
        frmMain& w = t.w;
        frmMain::SelectItem(w.OutCombo, lists::Hex);
        frmMain::SelectItem(w.RXBitsNrListBox, 16);
        Connect(w, true);
        QVERIFY(t.ports.device(1).send(EveryByte()));
        QVERIFY(t.ports.device(2).send("reply\r\n"));
        QTRY_COMPARE(w.RX2.Bytes().Size(), 7);
        QTRY_COMPARE(w.RX.Bytes().Size(), 256);
        FileAnswer answer(dir.filePath("saved.txt"), type);
        w.FileSaveMenu->trigger();
        QCOMPARE(Contents(dir.filePath("saved.txt")), type == 0 ? w.RXOut->Text() : EveryByte());
        QCOMPARE(Contents(dir.filePath("saved.COM2.txt")), type == 0 ? w.RX2Out->Text() : QByteArray("reply\r\n"));

        FileAnswer unwritable(QStringLiteral("/proc/version"), type);
        w.FileSaveMenu->trigger();
        QCOMPARE(t.messages.messages().size(), 1);
        QVERIFY(w.PortIsOpen);
    }

    // The send box takes a text of any length and sends it whole.
    void longPasteSentWhole()
    {
        TestWindow t({1});
        frmMain& w = t.w;
        Connect(w, false);
        frmMain::SelectItem(w.TXDataTypeListBox, lists::TxHex);
        w.SendData->setText(QStringLiteral("A5").repeated(100'000));
        QCOMPARE(w.SendData->text().size(), 200'000);
        // The device reads on a thread of its own while the window writes: a
        // pseudo-terminal holds only about 20 KiB.
        QByteArray received;
        std::thread reader([&] { received = t.ports.device(1).receive(100'000, 20000); });
        w.SendButton_Click();
        reader.join();
        QCOMPARE(received, QByteArray(100'000, char(0xA5)));
        QVERIFY(t.messages.messages().isEmpty());
    }
};

QTEST_MAIN(tst_captures)
#include "tst_captures.moc"
