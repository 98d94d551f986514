#include "app/CloseOnSignals.h"
#include "app/ManualLocation.h"
#include "app/frmMain.h"
#include "port/ModZemoPorts.h"
#include "port/ModemLineHook.h"
#include "support/LineHistory.h"
#include "support/ProcessChecks.h"
#include "support/TestWindow.h"
#include "support/WindowSteps.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <csignal>
#include <unistd.h>

class tst_menus : public QObject {
    Q_OBJECT

private slots:
    // The ports found are listed in numeric order up to COM30, with their
    // devices as tooltips; nothing is open and nothing can be sent yet.
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
        TestWindow t(present);
        const frmMain& w = t.w;
        QCOMPARE(Items(w.ComPortListBox), listed);
        QCOMPARE(Items(w.AltComListBox), alternates);
        QCOMPARE(w.ComPortListBox->currentIndex(), listed.isEmpty() ? -1 : 0);
        QCOMPARE(w.AltComListBox->currentIndex(), alternates.isEmpty() ? -1 : 0);
        if (!listed.isEmpty()) {
            QCOMPARE(modZEMO::PortName, listed.first());
            QCOMPARE(w.ComPortListBox->itemData(0, Qt::ToolTipRole).toString(),
                     t.ports.device(listed.first().mid(3).toInt()).slavePath());
        }
        QVERIFY(!w.PortIsOpen && !w.TwoPortMode && !w.Timer1->isActive());
        QCOMPARE(w.COMInitButton->text(), QStringLiteral("Init"));
        for (const QWidget* off : QList<const QWidget*>{w.AltComListBox, w.SendData, w.SendButton, w.DTRv, w.RTSv})
            QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
        QVERIFY(t.messages.messages().isEmpty());
    }

    void portListsFollowTheDevices()
    {
        TestWindow t({3, 5});
        frmMain& w = t.w;
        // The second list leaves out the chosen port and forgets its own choice.
        w.ComPortListBox->setCurrentIndex(1);
        QCOMPARE(modZEMO::PortName, QStringLiteral("COM5"));
        QCOMPARE(Items(w.AltComListBox), QStringList{"COM3"});
        QCOMPARE(w.AltComListBox->currentIndex(), -1);
        w.AltComListBox->setCurrentIndex(0);

        t.ports.add(1);
        QTRY_COMPARE(Items(w.ComPortListBox), QStringList({"COM1", "COM3", "COM5"}));
        QCOMPARE(w.ComPortListBox->currentText(), QStringLiteral("COM5"));
        QCOMPARE(Items(w.AltComListBox), QStringList({"COM1", "COM3"}));
        QCOMPARE(w.AltComListBox->currentText(), QStringLiteral("COM3"));
        QCOMPARE(w.ComPortListBox->itemData(0, Qt::ToolTipRole).toString(), t.ports.device(1).slavePath());

        // The chosen port goes: the first one listed is chosen, as at start-up.
        t.ports.remove(5);
        QTRY_COMPARE(Items(w.ComPortListBox), QStringList({"COM1", "COM3"}));
        QCOMPARE(w.ComPortListBox->currentText(), QStringLiteral("COM1"));
        QCOMPARE(Items(w.AltComListBox), QStringList({"COM3"}));
        QCOMPARE(w.AltComListBox->currentText(), QStringLiteral("COM3"));

        // Nothing changes while a port is open; Disc. catches up.
        w.COMInitButton_Click();
        QVERIFY(w.PortIsOpen);
        t.ports.add(7);
        QTest::qWait(600);
        QCOMPARE(Items(w.ComPortListBox), QStringList({"COM1", "COM3"}));
        w.COMInitButton_Click();
        QCOMPARE(Items(w.ComPortListBox), QStringList({"COM1", "COM3", "COM7"}));
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
                                     viewerCalls << (QStringList{program} + arguments);
                                     return viewerStarts;
                                 },
                                 [&](const QUrl& url) {
                                     browserCalls << url;
                                     return browserOpens;
                                 }});
        const auto restore = qScopeGuard([] { modZEMO::SetHelpOpeners({}); });
        TestWindow t({1});
        frmMain& w = t.w;
        MessageRecorder& messages = t.messages;
        w.COMInitButton_Click();
        w.HelpContentMenu->trigger();
        QCOMPARE(viewerCalls, (QList<QStringList>{{"hh.exe", "zemo.chm"}}));
        QCOMPARE(browserCalls.size(), viewerStarts ? 0 : 1);
        if (!viewerStarts) {
            const QUrl url = browserCalls.first();
            QVERIFY(url.isLocalFile());
            const QFileInfo manual(url.toLocalFile());
            QCOMPARE(manual.fileName(), QStringLiteral("index.html"));
            QVERIFY2(manual.isFile(), qPrintable(manual.filePath()));
            if (!browserOpens) {
                QCOMPARE(messages.messages().size(), 1);
                QCOMPARE(messages.messages().first().style, 64);
                QCOMPARE(messages.messages().first().title, QStringLiteral("Brackwell"));
                QVERIFY2(messages.texts().first().contains(manual.filePath()), qPrintable(messages.texts().first()));
            }
        }
        messages.clear();
        w.HelpAboutMenu->trigger();
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().first().style, 64);
        QCOMPARE(messages.messages().first().title, QStringLiteral("ZEMO"));
        QVERIFY(messages.texts().first().startsWith(w.windowTitle() + QStringLiteral("\r\n")));
        QVERIFY(w.PortIsOpen && w.Timer1->isActive());
        QCOMPARE(ClosedCount("COM1"), 0);
    }

    // Each session is connected, all but the last disconnected again; then
    // the window closes by File > Exit, its close box or a termination
    // signal. Every port is closed once and is free afterwards.
    void closingFreesThePorts_data()
    {
        QTest::addColumn<QList<int>>("sessions");
        QTest::addColumn<bool>("lastDisconnected");
        QTest::addColumn<QString>("close");
        QTest::addColumn<int>("com1Closes");
        QTest::addColumn<int>("com2Closes");
        const int generic = frmMain::Generic, transparent = frmMain::Transparent;
        QTest::newRow("no port") << QList<int>{} << false << "Exit" << 0 << 0;
        QTest::newRow("File > Exit, Generic") << QList<int>{generic} << false << "Exit" << 1 << 0;
        QTest::newRow("close box, Transparent") << QList<int>{transparent} << false << "box" << 1 << 1;
        QTest::newRow("termination signal, Generic") << QList<int>{generic} << false << "signal" << 1 << 0;
        QTest::newRow("Generic, Disc., Exit") << QList<int>{generic} << true << "Exit" << 1 << 0;
        // The disconnect leaves TwoPortMode set; the exit must still not close the second port again.
        QTest::newRow("Transparent, Disc., Exit") << QList<int>{transparent} << true << "Exit" << 1 << 1;
        QTest::newRow("Transparent, Disc., Generic, Exit") << QList<int>{transparent, generic} << false << "Exit" << 2
                                                           << 1;
    }
    void closingFreesThePorts()
    {
        QFETCH(QList<int>, sessions);
        QFETCH(bool, lastDisconnected);
        QFETCH(QString, close);
        TestWindow t({1, 2});
        frmMain& w = t.w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int i = 0; i < sessions.size(); ++i) {
            ChooseInterface(w, sessions[i]);
            w.COMInitButton_Click();
            QVERIFY(w.PortIsOpen);
            if (i + 1 < sessions.size() || lastDisconnected)
                w.COMInitButton_Click();
        }

        if (close == "signal") {
            CloseOnSignals closeOnSignals(w);
            QTimer::singleShot(0, [] { ::kill(::getpid(), SIGTERM); });
            QTimer stuck; // ends the loop with a failure rather than hanging the test
            connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
            stuck.start(30000);
            QCOMPARE(QApplication::exec(), 0); // the program ends with status 0
        } else if (close == "box") {
            w.windowHandle()->close();
        } else {
            w.FileExitMenu->trigger();
        }
        QVERIFY(!w.isVisible());
        QVERIFY(!w.Timer1->isActive());
        QTEST(ClosedCount("COM1"), "com1Closes");
        QTEST(ClosedCount("COM2"), "com2Closes");
        QCOMPARE(win32::testhook::StrayCloses(), 0);
        QVERIFY(PortIsFree("COM1") && PortIsFree("COM2"));
        QVERIFY(t.messages.messages().isEmpty());
    }
};

QTEST_MAIN(tst_menus)
#include "tst_menus.moc"
