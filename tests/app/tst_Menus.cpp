#include "app/CloseOnSignals.h"
#include "app/FileDialog.h"
#include "app/ManualLocation.h"
#include "port/ModemLineHook.h"
#include "support/LineHistory.h"
#include "support/ProcessChecks.h"
#include "support/TelnetBytes.h"
#include "support/window/TestWindow.h"

#include <QAbstractItemView>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWindow>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// What a non-blocking reader finds now.
QByteArray Available(int fd)
{
    QByteArray read;
    char buffer[1024];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        read.append(buffer, n);
    return read;
}

// Answers the file dialog with path and the file type at typeIndex, while the result lives.
auto AnswerFileDialog(const QString& path, int typeIndex = 0)
{
    modZEMO::SetSaveFileHandler([=](const QString&, const QStringList& types, QString* type) {
        if (type)
            *type = types.value(typeIndex);
        return path;
    });
    return qScopeGuard([] { modZEMO::SetSaveFileHandler({}); });
}

}

class tst_Menus : public QObject {
    Q_OBJECT

private slots:
    // The ports found are listed in numeric order up to COM30, with their
    // devices as tooltips.
    void comPorts_data()
    {
        QTest::addColumn<QList<int>>("present");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QStringList>("alternates");
        QTest::newRow("none") << QList<int>{} << QStringList{} << QStringList{};
        QTest::newRow("numeric order") << QList<int>{10, 3} << QStringList{"COM3", "COM10"} << QStringList{"COM10"};
        QTest::newRow("COM31 never") << QList<int>{30, 31} << QStringList{"COM30"} << QStringList{};
    }
    void comPorts()
    {
        QFETCH(QList<int>, present);
        QFETCH(QStringList, listed);
        QFETCH(QStringList, alternates);
        TestWindow w(present);
        QCOMPARE(Items(w.List("ComPortListBox")), listed);
        QCOMPARE(Items(w.List("AltComListBox")), alternates);
        QCOMPARE((QList<int>{w.List("ComPortListBox")->currentIndex(), w.List("AltComListBox")->currentIndex()}),
                 (QList<int>{listed.isEmpty() ? -1 : 0, alternates.isEmpty() ? -1 : 0}));
        if (!listed.isEmpty()) {
            QCOMPARE(modZEMO::PortName, listed.first());
            QCOMPARE(w.List("ComPortListBox")->itemData(0, Qt::ToolTipRole).toString(),
                     w.ports.Device(listed.first().mid(3).toInt()).SlavePath());
        }
        QVERIFY(!w.List("AltComListBox")->isEnabled() && !ShowsTwoPorts(w) && w.messages.Messages().isEmpty());
    }

    void portListsFollowTheDevices()
    {
        TestWindow w({3, 5});
        QComboBox* ports = w.List("ComPortListBox");
        QComboBox* alternate = w.List("AltComListBox");
        // The second list leaves out the chosen port and forgets its own choice.
        QVERIFY(Choose(ports, "COM5"));
        QCOMPARE(modZEMO::PortName, QStringLiteral("COM5"));
        QCOMPARE(Items(alternate), QStringList{"COM3"});
        QCOMPARE(alternate->currentIndex(), -1);
        QVERIFY(Choose(alternate, "COM3"));

        w.ports.Add(1);
        QTRY_COMPARE(Items(ports), QStringList({"COM1", "COM3", "COM5"}));
        QCOMPARE(Items(alternate), QStringList({"COM1", "COM3"}));
        QCOMPARE(ports->currentText() + alternate->currentText(), QStringLiteral("COM5COM3"));
        QCOMPARE(ports->itemData(0, Qt::ToolTipRole).toString(), w.ports.Device(1).SlavePath());

        // The chosen port goes: the first one listed is chosen, as at start-up.
        w.ports.Remove(5);
        QTRY_COMPARE(Items(ports), QStringList({"COM1", "COM3"}));
        QCOMPARE(Items(alternate), QStringList({"COM3"}));
        QCOMPARE(ports->currentText() + alternate->currentText(), QStringLiteral("COM1COM3"));
        // So does the second list when its choice goes.
        w.ports.Add(4);
        QTRY_COMPARE(Items(ports), QStringList({"COM1", "COM3", "COM4"}));
        w.ports.Remove(3);
        QTRY_COMPARE(Items(alternate), QStringList({"COM4"}));
        QCOMPARE(alternate->currentText(), QStringLiteral("COM4"));

        // Nothing changes while a port is open; Disc. catches up.
        QVERIFY(Connect(w, "Generic"));
        w.ports.Add(7);
        QTest::qWait(600);
        QCOMPARE(Items(ports), QStringList({"COM1", "COM4"}));
        QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        QCOMPARE(Items(ports), QStringList({"COM1", "COM4", "COM7"}));
    }

    // Help > Content and Help > About while connected: the connection stays up.
    void help_data()
    {
        QTest::addColumn<bool>("viewerStarts");
        QTest::addColumn<bool>("browserOpens");
        QTest::newRow("help viewer present") << true << false;
        QTest::newRow("manual in the browser") << false << true;
        QTest::newRow("no browser either") << false << false;
    }
    void help()
    {
        QFETCH(bool, viewerStarts);
        QFETCH(bool, browserOpens);
        // Stand-ins for the help viewer and the browser.
        QList<QStringList> viewerCalls;
        QList<QUrl> browserCalls;
        modZEMO::SetHelpOpeners({[&](const QString& program, const QStringList& arguments) {
                                     return viewerCalls << (QStringList{program} + arguments), viewerStarts;
                                 },
                                 [&](const QUrl& url) { return browserCalls << url, browserOpens; }});
        const auto restore = qScopeGuard([] { modZEMO::SetHelpOpeners({}); });
        TestWindow w({1});
        QVERIFY(Connect(w, "Generic"));
        w.Action("HelpContentMenu")->trigger();
        QCOMPARE(viewerCalls, (QList<QStringList>{{"hh.exe", "zemo.chm"}}));
        QCOMPARE(browserCalls.size(), viewerStarts ? 0 : 1);
        if (!viewerStarts) {
            const QFileInfo manual(browserCalls.first().toLocalFile());
            QCOMPARE(manual.fileName(), QStringLiteral("index.html"));
            QVERIFY2(manual.isFile(), qPrintable(manual.filePath()));
            if (!browserOpens) {
                QCOMPARE(w.messages.Messages().size(), 1);
                QCOMPARE(w.messages.Messages().first().title, QStringLiteral("Brackwell"));
                QVERIFY2(w.messages.Texts().first().contains(manual.filePath()), qPrintable(w.messages.Texts().first()));
            }
        }
        w.messages.Clear();
        w.Action("HelpAboutMenu")->trigger();
        QCOMPARE(w.messages.Messages().size(), 1);
        QCOMPARE(w.messages.Messages().first().title, QStringLiteral("ZEMO"));
        QVERIFY(w.messages.Texts().first().startsWith(w.window.windowTitle() + QStringLiteral("\r\n")));
        QVERIFY(Connected(w) && w.Timer()->isActive());
        QCOMPARE(ClosedCount("COM1"), 0);
    }

    // Each session is connected, all but the last disconnected again; then
    // the window closes by File > Exit, its close box or a termination
    // signal. Every port is closed once and is free afterwards.
    void closingFreesThePorts_data()
    {
        QTest::addColumn<QStringList>("sessions"); // interface types
        QTest::addColumn<bool>("lastDisconnected");
        QTest::addColumn<QString>("close");
        QTest::addColumn<QList<int>>("closes"); // of COM1 and COM2
        QTest::newRow("no port") << QStringList{} << false << "Exit" << QList<int>{0, 0};
        QTest::newRow("File > Exit, Generic") << QStringList{"Generic"} << false << "Exit" << QList<int>{1, 0};
        QTest::newRow("close box, Transparent") << QStringList{"Transparent"} << false << "box" << QList<int>{1, 1};
        QTest::newRow("termination signal, Generic") << QStringList{"Generic"} << false << "signal" << QList<int>{1, 0};
        QTest::newRow("Generic, Disc., Exit") << QStringList{"Generic"} << true << "Exit" << QList<int>{1, 0};
        // The disconnect leaves two-port operation set; the exit must still not close the second port again.
        QTest::newRow("Transparent, Disc., Exit") << QStringList{"Transparent"} << true << "Exit" << QList<int>{1, 1};
        QTest::newRow("Transparent, Disc., Generic, Exit") << QStringList{"Transparent", "Generic"} << false << "Exit" << QList<int>{2, 1};
    }
    void closingFreesThePorts()
    {
        QFETCH(QStringList, sessions);
        QFETCH(bool, lastDisconnected);
        QFETCH(QString, close);
        TestWindow w({1, 2});
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        for (int i = 0; i < sessions.size(); ++i) {
            QVERIFY(Connect(w, sessions[i]));
            if (i + 1 < sessions.size() || lastDisconnected)
                QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        }

        if (close == "signal") {
            CloseOnSignals closeOnSignals(w.window);
            QTimer::singleShot(0, [] { ::kill(::getpid(), SIGTERM); });
            QTimer stuck; // ends the loop with a failure rather than hanging the test
            connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
            stuck.start(30000);
            QCOMPARE(QApplication::exec(), 0); // the program ends with status 0
        } else if (close == "box") {
            w.window.windowHandle()->close();
        } else {
            w.Action("FileExitMenu")->trigger();
        }
        QVERIFY(!w.window.isVisible() && !w.Timer()->isActive());
        QTEST((QList<int>{ClosedCount("COM1"), ClosedCount("COM2")}), "closes");
        QCOMPARE(win32::testhook::StrayCloses(), 0);
        QVERIFY(PortIsFree("COM1") && PortIsFree("COM2") && w.messages.Messages().isEmpty());
    }

    // The bytes-per-line list's 65 entries open as a scrolled list, not a popup the height of the screen.
    void bytesPerLineListScrolls()
    {
        TestWindow w;
        w.window.show();
        QComboBox* list = w.List("RXBitsNrListBox");
        list->showPopup();
        QAbstractItemView* view = list->view();
        QTRY_VERIFY(view->isVisible());
        QVERIFY(view->height() < 25 * view->sizeHintForRow(0) && view->verticalScrollBar()->maximum() > 0);
        list->hidePopup();
    }

    // The program itself, stopped while the box that its log cannot be
    // written is up at start: the box goes, and the program ends with 0.
    void terminationSignalBehindABox()
    {
        TestConfigDir config;
        QProcess program;
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(QStringLiteral(WENDALE_PROGRAM_PATH), {"--log", "/"});
        QVERIFY(program.waitForStarted());
        QTest::qWait(1500);
        QCOMPARE(program.state(), QProcess::Running);
        program.terminate();
        QVERIFY(program.waitForFinished(5000)); // one still running is killed as program goes
        QCOMPARE((QList<int>{program.exitStatus(), program.exitCode()}), (QList<int>{QProcess::NormalExit, 0}));
    }

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
        TestWindow w({1, 2});
        QAction* log = w.Action("FileLogMenu");
        const auto answer = AnswerFileDialog(path);
        log->trigger();
        QVERIFY(log->isChecked() && w.window.windowTitle().endsWith(" - logging to capture.bin"));
        QByteArray expected[2] = {"earlier", ""};
        for (int session = 0; session < 2; ++session) {
            QVERIFY(Connect(w, twoPorts ? "Transparent" : "Generic"));
            for (int port = 0; port < (twoPorts ? 2 : 1); ++port) {
                const QByteArray data = EveryByte().repeated(8 + port);
                QVERIFY(w.ports.Device(1 + port).Send(data));
                expected[port] += data;
            }
            QTRY_COMPARE(Contents(path), expected[0]);
            QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        }
        if (twoPorts)
            QCOMPARE(Contents(dir.filePath("capture.COM2.bin")), expected[1]);
        log->trigger();
        QVERIFY(!log->isChecked() && !w.window.windowTitle().contains("logging"));
        QVERIFY(w.messages.Messages().isEmpty());
    }

    // Logging stops with one message that says why; receiving goes on.
    void logThatCannotBeWrittenStops_data()
    {
        QTest::addColumn<QString>("path"); // empty: a pipe whose reader leaves while logging
        QTest::newRow("disk full") << "/dev/full";
        QTest::newRow("a folder") << "/";
        QTest::newRow("pipe reader leaves") << QString();
    }
    void logThatCannotBeWrittenStops()
    {
        QFETCH(QString, path);
        QTemporaryDir dir;
        int reader = -1;
        if (path.isEmpty()) {
            std::signal(SIGPIPE, SIG_IGN); // as the program does
            path = dir.filePath("fifo");
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
            reader = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
            QVERIFY(reader >= 0);
        }
        TestWindow w({1});
        QVERIFY(Connect(w, "Generic"));
        const auto answer = AnswerFileDialog(path);
        w.Action("FileLogMenu")->trigger();
        QVERIFY(w.ports.Device(1).Send("data"));
        QTRY_COMPARE(w.Box("RXOut")->Text(), QByteArray("data"));
        if (reader >= 0) {
            QByteArray logged;
            QTRY_COMPARE(logged += Available(reader), QByteArray("data"));
            ::close(reader);
        }
        QVERIFY(w.ports.Device(1).Send("more"));
        QTRY_COMPARE(w.Box("RXOut")->Text(), QByteArray("datamore"));
        QVERIFY(w.ports.Device(1).Send("again"));
        QTRY_COMPARE(w.Box("RXOut")->Text(), QByteArray("datamoreagain"));
        QCOMPARE(w.messages.Messages().size(), 1);
        QVERIFY(w.messages.Messages().front().text.contains(path));
        const QString why = w.messages.Messages().front().informative;
        QVERIFY(reader < 0 ? !why.isEmpty() : why == QStringLiteral("The file cannot be written: Broken pipe"));
        QVERIFY(!w.Action("FileLogMenu")->isChecked());
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
        TestWindow w({1, 2});
        QVERIFY(Choose(w.List("OutCombo"), "Hex") && Choose(w.List("RXBitsNrListBox"), "16"));
        QVERIFY(Connect(w, "Transparent"));
        QVERIFY(w.ports.Device(1).Send(EveryByte()) && w.ports.Device(2).Send("reply\r\n"));
        // Every byte is shown once the last ones are.
        QTRY_COMPARE(w.Box("RX2Out")->Text(), QByteArray("72 65 70 6C 79 0D 0A "));
        QTRY_VERIFY(w.Box("RXOut")->Text().contains("FE FF "));
        // A name typed without an extension gets the type's.
        const auto answer = AnswerFileDialog(dir.filePath("saved"), type);
        w.Action("FileSaveMenu")->trigger();
        const QString extension = type == 0 ? ".txt" : ".bin";
        QCOMPARE(Contents(dir.filePath("saved" + extension)), type == 0 ? w.Box("RXOut")->Text() : EveryByte());
        QCOMPARE(Contents(dir.filePath("saved.COM2" + extension)),
                 type == 0 ? w.Box("RX2Out")->Text() : QByteArray("reply\r\n"));

        const auto unwritable = AnswerFileDialog(QStringLiteral("/proc/version"), type);
        w.Action("FileSaveMenu")->trigger();
        QCOMPARE(w.messages.Messages().size(), 1);
        QVERIFY(Connected(w));
    }
};

QTEST_MAIN(tst_Menus)
#include "tst_Menus.moc"
