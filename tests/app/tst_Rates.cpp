#include "port/ModemLineHook.h"
#include "support/LineHistory.h"
#include "support/ProcessChecks.h"
#include "support/window/TestWindow.h"

#include <QMenuBar>

using win32::testhook::LineEvent;

namespace {

// Types a speed into the list, as a user does over its text.
void TypeSpeed(TestWindow& w, const QString& speed)
{
    QLineEdit* edit = w.List("SpeedListBox")->lineEdit();
    edit->selectAll();
    QTest::keyClicks(edit, speed);
    if (speed.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
}

const QString Refused = QStringLiteral("The speed must be a whole number from 50 to 12000000 bit/s.");

}

class tst_Rates : public QObject {
    Q_OBJECT

private slots:
    // The classic list first, then today's rates; File first and Help last.
    void listAndMenus()
    {
        TestWindow w;
        QCOMPARE(Items(w.List("SpeedListBox")),
                 QString("110 300 600 1200 2400 4800 9600 19200 38400 57600 115200 128000 230400 250000 460800 "
                         "500000 921600 1000000 1500000 2000000 3000000 4000000")
                     .split(' '));
        QCOMPARE(w.List("SpeedListBox")->currentText(), QStringLiteral("9600"));
        QStringList menus;
        for (const QAction* menu : w.window.menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus, (QStringList{"&File", "&View", "&Port", "&Help"}));
        QVERIFY(!w.Action("PortBreakMenu")->isEnabled());
    }

    // Each rate, chosen or typed, reaches the driver exactly; a bad one is refused and the next Init
    // works. Profiles keep their rates whatever is typed.
    void rateReachesTheDriver_data()
    {
        QTest::addColumn<QString>("speed");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<QString>("type");
        QTest::addColumn<uint>("rate"); // 0: refused
        for (const char* chosen : {"230400", "250000", "460800", "500000", "921600", "1000000", "1500000", "2000000",
                                   "3000000", "4000000"})
            QTest::newRow(chosen) << chosen << false << "Generic" << QString(chosen).toUInt();
        for (const char* typed : {"50", "74880", "76800", "1843200", "12000000", " 9600 "})
            QTest::newRow(qPrintable(QStringLiteral("typed '%1'").arg(typed)))
                << typed << true << "Generic" << QString(typed).trimmed().toUInt();
        for (const char* bad : {"", "0", "49", "-9600", "+9600", "12000001", "9600.5", "1e6", "9 600", "fast", "0x2580"})
            QTest::newRow(*bad ? bad : "empty") << bad << true << "Generic" << 0u;
        QTest::newRow("200 digits") << QString(200, u'9') << true << "Generic" << 0u;
        for (const char* type : {"GSM Data", "Transparent"})
            QTest::newRow(type) << "bogus" << true << type << 115200u;
    }
    void rateReachesTheDriver()
    {
        QFETCH(QString, speed);
        QFETCH(bool, typed);
        QFETCH(QString, type);
        QFETCH(uint, rate);
        TestWindow w({1, 2});
        w.window.show();
        if (typed)
            TypeSpeed(w, speed);
        else
            QVERIFY(Choose(w.List("SpeedListBox"), speed));
        QCOMPARE(Connect(w, type), rate != 0);
        if (rate == 0) {
            const auto& said = w.messages.Messages().first();
            QCOMPARE(QString::number(said.style) + said.title + w.messages.Texts().join('|'), "16Brackwell" + Refused);
            QVERIFY(!w.Timer()->isActive() && LineChanges("COM1").isEmpty() && PortIsFree(QStringLiteral("COM1")));
            w.messages.Clear();
            TypeSpeed(w, QStringLiteral("74880"));
            QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
            QVERIFY(Connected(w));
            rate = 74880;
        }
        QCOMPARE(w.ports.Device(1).SlaveBitRate(), rate);
        QVERIFY(w.messages.Messages().isEmpty());
    }

    // Break is held about a quarter second while the window goes on; Disc. ends it at once.
    void sendBreak_data()
    {
        QTest::addColumn<bool>("disconnectDuring");
        QTest::newRow("held, then released") << false;
        QTest::newRow("disconnected while held") << true;
    }
    void sendBreak()
    {
        QFETCH(bool, disconnectDuring);
        TestWindow w({1});
        QVERIFY(Connect(w, QStringLiteral("Generic")));
        QAction* sendBreak = w.Action("PortBreakMenu");
        QVERIFY(sendBreak->isEnabled());
        win32::testhook::ClearLineHistory("COM1");
        sendBreak->trigger();
        QVERIFY(!sendBreak->isEnabled());
        QVERIFY(w.ports.Device(1).Send("during"));
        QTRY_COMPARE(w.Box("RXOut")->Text(), QByteArray("during"));
        if (disconnectDuring)
            QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        QTRY_VERIFY(LineChanges("COM1").contains(LineChange(LineEvent::Break, false)));
        const auto history = win32::testhook::LineHistory("COM1");
        QCOMPARE(LineChanges("COM1").first(), LineChange(LineEvent::Break, true));
        const auto held = std::chrono::duration_cast<std::chrono::milliseconds>(history[1].when - history[0].when);
        qInfo("the break was held %lld ms", qlonglong(held.count()));
        QCOMPARE(sendBreak->isEnabled(), !disconnectDuring);
        QVERIFY(w.messages.Messages().isEmpty());
    }

    // Bytes the driver lost are reported once per connect, and reception goes on.
    void lostBytesReportedOnce()
    {
        TestWindow w({1});
        QVERIFY(Connect(w, QStringLiteral("Generic")));
        win32::testhook::AddInputErrors("COM1", win32::CE_RXOVER);
        const QStringList said{QStringLiteral("The driver of COM1 has lost received bytes.")};
        QTRY_COMPARE(w.messages.Texts(), said);
        win32::testhook::AddInputErrors("COM1", win32::CE_OVERRUN);
        QVERIFY(w.ports.Device(1).Send("after"));
        QTRY_COMPARE(w.Box("RXOut")->Text(), QByteArray("after"));
        QCOMPARE(w.messages.Texts(), said);
        QVERIFY(Connected(w));
    }
};

QTEST_MAIN(tst_Rates)
#include "tst_Rates.moc"
