#include "support/LineHistory.h"
#include "support/window/TestWindow.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

using win32::testhook::LineEvent;

namespace {

QByteArray Mark(int com, const char* what)
{
    return QStringLiteral("--- COM%1 %2 ---").arg(com).arg(QLatin1String(what)).toLatin1();
}

}

class tst_Reconnect : public QObject {
    Q_OBJECT

private slots:
    // The device goes and comes back under its COM name: no box, a mark each
    // way (kept in its place by the timeline), and reception and the relay go
    // on with the settings and the control lines as they were.
    void deviceReturns_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("gone");
        QTest::addColumn<QList<LineChange>>("lines");
        QTest::addColumn<QByteArray>("timeline"); // the timeline's marks, empty: the box's own
        QTest::newRow("one port, RTS dropped by the user")
            << "Generic" << 1 << QList<LineChange>{{LineEvent::Dtr, true}, {LineEvent::Rts, false}} << QByteArray();
        QTest::newRow("relay, first port")
            << "Transparent" << 1 << QList<LineChange>{{LineEvent::Dtr, true}, {LineEvent::Rts, true}} << QByteArray();
        QTest::newRow("relay, second port, one timeline")
            << "Transparent" << 2 << QList<LineChange>{{LineEvent::Rts, true}, {LineEvent::Dtr, true}}
            << QByteArray("second device");
    }
    void deviceReturns()
    {
        QFETCH(QString, type);
        QFETCH(int, gone);
        QFETCH(QList<LineChange>, lines);
        QFETCH(QByteArray, timeline);
        TestWindow w({1, 2});
        w.Action("PortReconnectMenu")->trigger();
        if (!timeline.isEmpty())
            w.Action("ViewOneTimeline")->trigger();
        w.window.show();
        ChooseInterface(w, type);
        Choose(w.List("SpeedListBox"), "57600");
        QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        QVERIFY(Connected(w));
        if (type == u"Generic")
            QTest::mouseClick(w.Check("RTSv"), Qt::LeftButton);
        ReceiveView* box = w.Box(gone == 1 || !timeline.isEmpty() ? "RXOut" : "RX2Out");
        const QByteArray goneMark = timeline.isEmpty() ? Mark(gone, "gone, waiting for it") : timeline + " gone";
        const QByteArray backMark = timeline.isEmpty() ? Mark(gone, "is back") : timeline + " back";
        const QString name = QStringLiteral("COM%1").arg(gone);

        const uint32_t rate = w.ports.Device(gone).SlaveBitRate(); // Transparent's is its own
        w.ports.Device(gone).CloseMaster();
        QTRY_VERIFY(box->Text().contains(goneMark));
        QVERIFY(Connected(w));
        win32::testhook::ClearLineHistory(name);
        QElapsedTimer returned;
        PtyPair& device = w.ports.Add(gone);
        returned.start();
        QTRY_VERIFY(box->Text().contains(backMark));
        qInfo("%s opened again %lld ms after its device returned", qPrintable(name), returned.elapsed());
        // The open itself starts with both lines down.
        QCOMPARE(LineChanges(name).mid(2), lines);
        QCOMPARE(device.SlaveBitRate(), rate);
        QVERIFY(device.Send("after"));
        QTRY_VERIFY(box->Text().endsWith("after"));
        if (!timeline.isEmpty())
            QVERIFY(box->Text().contains(goneMark + "\r\n") && box->Text().contains(backMark));
        if (type == u"Transparent")
            QCOMPARE(w.ports.Device(3 - gone).ReceiveUntil("after"), QByteArray("after"));
        QVERIFY(w.messages.Texts().isEmpty());
        QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        QVERIFY(!Connected(w));
        QCOMPARE(win32::testhook::StrayCloses(), 0);
    }

    // What comes back under the name is not a terminal, or comes and goes
    // again and again: never a box, the wait goes on, and Disc. ends it.
    void returnsOddly()
    {
        TestWindow w({1});
        w.Action("PortReconnectMenu")->trigger();
        QVERIFY(Connect(w, "Generic"));
        w.ports.Device(1).CloseMaster();
        QTRY_VERIFY(w.Box("RXOut")->Text().contains(Mark(1, "gone, waiting for it")));
        QTemporaryDir folder;
        QFile plain(folder.filePath("plain"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        for (const QString& target : {plain.fileName(), folder.path()}) {
            QVERIFY(w.ports.Link(1, target));
            QTest::qWait(500);
            QVERIFY(!w.Box("RXOut")->Text().contains(Mark(1, "is back")));
        }
        for (int flap = 0; flap < 100; ++flap) {
            w.ports.Add(1);
            QTest::qWait(flap % 10);
            w.ports.Device(1).CloseMaster();
        }
        QTest::qWait(500);
        QVERIFY(w.messages.Texts().isEmpty());
        QVERIFY(Connected(w));
        QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        QVERIFY(!Connected(w));
        QCOMPARE(win32::testhook::StrayCloses(), 0);
    }
};

QTEST_MAIN(tst_Reconnect)
#include "tst_Reconnect.moc"
