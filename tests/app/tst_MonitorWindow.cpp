#include "port/ModemLineHook.h"
#include "support/ProcessChecks.h"
#include "support/window/TestWindow.h"

#include <functional>
#include <utility>

namespace {

QByteArray Counting(int size, int from)
{
    QByteArray out(size, '\0');
    for (int i = 0; i < size; ++i)
        out[i] = char((from + i) % 251);
    return out;
}

// Both boxes, as one text.
QByteArray Shown(const TestWindow& w)
{
    return w.Box("RXOut")->Text() + '|' + w.Box("RX2Out")->Text();
}

// Runs look right after the next tick, before another can run; false when no tick came.
bool AfterNextTick(TestWindow& w, const std::function<void()>& look)
{
    bool seen = false;
    const auto watch = QObject::connect(w.Timer(), &QTimer::timeout, [&] {
        if (!std::exchange(seen, true))
            look();
    });
    const bool ticked = QTest::qWaitFor([&] { return seen; });
    QObject::disconnect(watch);
    return ticked;
}

}

class tst_MonitorWindow : public QObject {
    Q_OBJECT

private slots:
    void boxesFollowTheDisplayLists()
    {
        TestWindow w({1, 2});
        QVERIFY(Connect(w, "Transparent"));
        QVERIFY(w.ports.Device(1).Send("ABCDE") && w.ports.Device(2).Send("XYZ"));
        QTRY_COMPARE(Shown(w), QByteArray("ABCDE|XYZ"));
        QStringList captions;
        QList<QByteArray> texts;
        for (const QString notation : {"Bin", "Hex", "Chr"}) {
            QVERIFY(Choose(w.List("OutCombo"), notation));
            captions << w.Label("OutLabel")->text();
            texts << Shown(w);
            QCOMPARE(w.Box("RXOut")->CaretPosition(), w.Box("RXOut")->TextLength());
        }
        QCOMPARE(captions, (QStringList{"Binary", "Hex", "Char"}));
        QCOMPARE(texts, (QList<QByteArray>{"0100000101000010010000110100010001000101|010110000101100101011010",
                                           "41 42 43 44 45 |58 59 5A ", "ABCDE|XYZ"}));

        // Both texts are re-broken and shown anew.
        QVERIFY(Choose(w.List("RXBitsNrListBox"), "2"));
        QCOMPARE(Shown(w), QByteArray("AB\r\nCD\r\nE|XY\r\nZ"));

        // Clearing empties the texts, not only the boxes: another notation shows nothing either.
        QTest::mouseClick(w.Button("ClearButton"), Qt::LeftButton);
        QCOMPARE(Shown(w), QByteArray("|"));
        QVERIFY(Choose(w.List("OutCombo"), "Hex"));
        QCOMPARE(Shown(w), QByteArray("|"));

        // A tick with nothing received changes only the indicators (the line
        // written into the box stays), and with nothing open the poll stops.
        QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        QVERIFY(Connect(w, "CM12(X10)") && Choose(w.List("OutCombo"), "Chr") && Choose(w.List("RXBitsNrListBox"), "0"));
        QVERIFY(w.ports.Device(1).Send("ABCDE"));
        QTRY_COMPARE(w.Box("RXOut")->Text(), QByteArray("ABCDE"));
        win32::testhook::SetInputLines("COM1", 0xB0);
        Send(w, "RESET");
        QTRY_COMPARE(w.Label("Label8")->text(), QStringLiteral(" 176"));
        QCOMPARE(w.Box("RXOut")->Text(), QByteArray("ABCDE\r\nCM11/12 interface reset OK."));
        // Re-broken and shown anew: the line written into the box goes.
        QVERIFY(Choose(w.List("RXBitsNrListBox"), "2"));
        QCOMPARE(w.Box("RXOut")->Text(), QByteArray("AB\r\nCD\r\nE"));

        // A failed connect of this type starts the poll; its first tick reads no lines and stops it.
        QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        const pid_t holder = HoldInAnotherProcess(QStringLiteral("COM1"));
        QVERIFY(holder > 0);
        QVERIFY(!Connect(w, "CM12(X10)"));
        Release(holder);
        QVERIFY(w.Timer()->isActive());
        QTRY_VERIFY(!w.Timer()->isActive());
        QCOMPARE(w.Label("Label8")->text() + w.Label("CTSv")->text() + w.Label("DSRv")->text() + w.Label("RIv")->text()
                     + w.Label("DCDv")->text(),
                 QStringLiteral(" 00000"));
    }

    // More than one read's worth, all in one tick: from one port (Chr, no line
    // limit: the box holds the bytes), then relayed both ways between two.
    void waitingBytesAllShownInOneTick()
    {
        TestWindow w({1, 2});
        PtyPair& first = w.ports.Device(1);
        PtyPair& second = w.ports.Device(2);
        QVERIFY(Connect(w, "Generic"));
        // The test blocks while the bytes queue, so no tick runs before all have come.
        const QByteArray sent = Counting(250, 0);
        QVERIFY(first.Send(sent) && first.WaitUntilQueued(250));
        QByteArray shown;
        QVERIFY(AfterNextTick(w, [&] { shown = w.Box("RXOut")->Text(); }));
        QCOMPARE(shown, sent);
        // The caret follows; a hundred ticks a second, each reading what has come, keep up with the fastest line.
        QVERIFY(w.Box("RXOut")->CaretPosition() == w.Box("RXOut")->TextLength() && w.Timer()->isActive()
                && w.Timer()->interval() == 10);

        QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        QTest::mouseClick(w.Button("ClearButton"), Qt::LeftButton);
        QVERIFY(Connect(w, "Transparent"));
        const QByteArray query = Counting(230, 7);
        QVERIFY(first.Send(query) && second.Send("REPLY\r\n"));
        QVERIFY(first.WaitUntilQueued(query.size()) && second.WaitUntilQueued(7));
        QByteArray relayed, relayedBack;
        // Read within the tick, so that no later tick can relay what it left.
        QVERIFY(AfterNextTick(w, [&] {
            shown = Shown(w);
            relayed = second.Receive(query.size(), 2000);
            relayedBack = first.Receive(7, 2000);
        }));
        QVERIFY(relayed == query && relayedBack == "REPLY\r\n");
        QVERIFY(shown.startsWith(query + '|'));
        // A received CR LF is followed by a stamp in two-port operation.
        QVERIFY(shown.mid(query.size() + 1).startsWith("REPLY\r\n000") && w.messages.Messages().isEmpty());
    }
};

QTEST_MAIN(tst_MonitorWindow)
#include "tst_MonitorWindow.moc"
