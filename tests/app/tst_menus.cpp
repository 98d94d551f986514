#include "app/CloseOnSignals.h"
#include "app/ManualLocation.h"
#include "app/frmMain.h"
#include "port/ModZemoPorts.h"
#include "port/ModemLineHook.h"
#include "support/LineHistory.h"
#include "support/MessageRecorder.h"
#include "support/ProcessChecks.h"
#include "support/SimulatedPorts.h"
#include "support/WindowSteps.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <csignal>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

bool Exclusive(const PtyPair& device)
{
    int on = 0;
    return ioctl(device.slaveFd(), TIOCGEXCL, &on) == 0 && on;
}

// Stands in for the help viewer and the browser; records what was asked of them.
class FakeOpeners {
public:
    FakeOpeners(bool viewerStarts, bool browserOpens)
    {
        modZEMO::SetHelpOpeners({
            [this, viewerStarts](const QString& program, const QStringList& arguments) {
                viewerCalls << (QStringList{program} + arguments);
                return viewerStarts;
            },
            [this, browserOpens](const QUrl& url) {
                browserCalls << url;
                return browserOpens;
            },
        });
    }
    ~FakeOpeners() { modZEMO::SetHelpOpeners({}); }
    FakeOpeners(const FakeOpeners&) = delete;
    FakeOpeners& operator=(const FakeOpeners&) = delete;

    QList<QStringList> viewerCalls;
    QList<QUrl> browserCalls;
};

void ConnectTransparent(frmMain& w)
{
    ChooseInterface(w, frmMain::Transparent);
    w.COMInitButton_Click();
}

}

class tst_menus : public QObject {
    Q_OBJECT

private slots:
    void aboutBox()
    {
        SimulatedPorts ports;
        MessageRecorder messages;
        frmMain w;
        w.HelpAboutMenu->trigger();
        QCOMPARE(messages.messages().size(), 1);
        const auto& about = messages.messages().first();
        QCOMPARE(about.style, 64);
        QCOMPARE(about.title, QStringLiteral("ZEMO"));
        QVERIFY(!about.text.endsWith(QStringLiteral("\r\n")));
        const QStringList lines = about.text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[0], w.windowTitle());
        QVERIFY(lines[0].startsWith(QStringLiteral("Wendale v")));
        for (const QString& line : lines)
            QVERIFY2(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')), qPrintable(line));
        QVERIFY(lines[1].contains(QStringLiteral("https://")));
        QVERIFY(lines[2].contains(QStringLiteral("https://")));
        QVERIFY(lines[3].contains(QStringLiteral("Wendale")));
        QVERIFY(lines[4].startsWith(QStringLiteral(" mail to: ")));
        QVERIFY(lines[4].contains(QLatin1Char('@')));
        QVERIFY(lines[5].startsWith(QLatin1Char(' ')));
    }

    void helpContent_data()
    {
        QTest::addColumn<bool>("viewerStarts");
        QTest::addColumn<bool>("browserOpens");
        QTest::newRow("help viewer present") << true << false;
        QTest::newRow("manual in the browser") << false << true;
        QTest::newRow("no browser either") << false << false;
    }
    void helpContent()
    {
        QFETCH(bool, viewerStarts);
        QFETCH(bool, browserOpens);
        SimulatedPorts ports;
        MessageRecorder messages;
        FakeOpeners openers(viewerStarts, browserOpens);
        frmMain w;
        w.HelpContentMenu->trigger();
        QCOMPARE(openers.viewerCalls, (QList<QStringList>{{"hh.exe", "zemo.chm"}}));
        if (viewerStarts) {
            QVERIFY(openers.browserCalls.isEmpty());
            QVERIFY(messages.messages().isEmpty());
            return;
        }
        QCOMPARE(openers.browserCalls.size(), 1);
        const QUrl url = openers.browserCalls.first();
        QVERIFY(url.isLocalFile());
        const QFileInfo manual(url.toLocalFile());
        QCOMPARE(manual.fileName(), QStringLiteral("index.html"));
        QVERIFY2(manual.isFile(), qPrintable(manual.filePath()));
        if (browserOpens) {
            QVERIFY(messages.messages().isEmpty());
            return;
        }
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().first().style, 64);
        QCOMPARE(messages.messages().first().title, QStringLiteral("Brackwell"));
        QVERIFY2(messages.texts().first().contains(manual.filePath()), qPrintable(messages.texts().first()));
    }

    void helpLeavesTheConnectionUp()
    {
        SimulatedPorts ports;
        ports.add(1);
        MessageRecorder messages;
        FakeOpeners openers(false, true);
        frmMain w;
        w.COMInitButton_Click();
        QVERIFY(w.PortIsOpen);
        w.HelpContentMenu->trigger();
        w.HelpContentMenu->trigger();
        w.HelpAboutMenu->trigger();
        QCOMPARE(openers.viewerCalls.size(), 2);
        QVERIFY(w.PortIsOpen);
        QVERIFY(w.Timer1->isActive());
        QCOMPARE(ClosedCount("COM1"), 0);
    }

    void exitWithNoPort()
    {
        SimulatedPorts ports;
        MessageRecorder messages;
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.FileExitMenu->trigger();
        QVERIFY(!w.isVisible());
        QVERIFY(messages.messages().isEmpty());
    }

    void exitFreesThePorts_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::addColumn<bool>("transparent");
        QTest::newRow("File > Exit, one port") << false << false;
        QTest::newRow("close box, one port") << true << false;
        QTest::newRow("File > Exit, Transparent") << false << true;
        QTest::newRow("close box, Transparent") << true << true;
    }
    void exitFreesThePorts()
    {
        QFETCH(bool, closeBox);
        QFETCH(bool, transparent);
        SimulatedPorts ports;
        ports.add(1);
        ports.add(2);
        MessageRecorder messages;
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        if (transparent)
            ConnectTransparent(w);
        else
            w.COMInitButton_Click();
        QVERIFY(w.PortIsOpen);
        QCOMPARE(w.TwoPortMode, transparent);
        QVERIFY(!PortIsFree("COM1"));

        if (closeBox)
            w.windowHandle()->close();
        else
            w.FileExitMenu->trigger();
        QVERIFY(!w.isVisible());
        QVERIFY(!w.Timer1->isActive());
        QCOMPARE(ClosedCount("COM1"), 1);
        QCOMPARE(ClosedCount("COM2"), transparent ? 1 : 0);
        QVERIFY(PortIsFree("COM1"));
        QVERIFY(PortIsFree("COM2"));
        QVERIFY(messages.messages().isEmpty());
    }

    // A termination signal closes the window as File > Exit does: the port
    // leaves exclusive use and the program ends with status 0.
    void terminationSignalClosesLikeExit()
    {
        SimulatedPorts ports;
        PtyPair& device = ports.add(1);
        MessageRecorder messages;
        frmMain w;
        CloseOnSignals closeOnSignals(w);
        w.show();
        w.COMInitButton_Click();
        QVERIFY(Exclusive(device));
        QTimer::singleShot(0, [] { ::kill(::getpid(), SIGTERM); });
        QTimer stuck; // ends the loop with a failure rather than hanging the test
        connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        stuck.start(30000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!Exclusive(device));
        QCOMPARE(ClosedCount("COM1"), 1);
        QVERIFY(messages.messages().isEmpty());
    }

    void exitAfterDisconnectClosesNothingTwice_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::newRow("Generic") << false;
        QTest::newRow("Transparent") << true;
    }
    void exitAfterDisconnectClosesNothingTwice()
    {
        QFETCH(bool, transparent);
        SimulatedPorts ports;
        ports.add(1);
        ports.add(2);
        MessageRecorder messages;
        frmMain w;
        w.show();
        if (transparent)
            ConnectTransparent(w);
        else
            w.COMInitButton_Click();
        QVERIFY(w.PortIsOpen);
        w.COMInitButton_Click();
        QVERIFY(!w.PortIsOpen);
        // The disconnect leaves TwoPortMode set; the exit must still not close the second port again.
        QCOMPARE(w.TwoPortMode, transparent);

        w.FileExitMenu->trigger();
        QVERIFY(!w.isVisible());
        QCOMPARE(ClosedCount("COM1"), 1);
        QCOMPARE(ClosedCount("COM2"), transparent ? 1 : 0);
        QCOMPARE(win32::testhook::StrayCloses(), 0);
    }

    void exitAfterTransparentThenGenericLeavesTheOldSecondPortAlone()
    {
        SimulatedPorts ports;
        ports.add(1);
        ports.add(2);
        MessageRecorder messages;
        frmMain w;
        ConnectTransparent(w);
        w.COMInitButton_Click();
        w.ITypeListBox->setCurrentIndex(frmMain::Generic);
        w.COMInitButton_Click();
        QVERIFY(w.PortIsOpen);
        QVERIFY(!w.TwoPortMode);

        w.close();
        QCOMPARE(ClosedCount("COM1"), 2);
        QCOMPARE(ClosedCount("COM2"), 1);
        QCOMPARE(win32::testhook::StrayCloses(), 0);
        QVERIFY(PortIsFree("COM1"));
    }
};

QTEST_MAIN(tst_menus)
#include "tst_menus.moc"
