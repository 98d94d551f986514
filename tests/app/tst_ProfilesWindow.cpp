#include "devsim/IrmanDevice.h"
#include "port/ModemLineHook.h"
#include "support/HostedDevice.h"
#include "support/ProcessChecks.h"
#include "support/window/TestWindow.h"

using namespace std::chrono_literals;
using win32::testhook::LineEvent;

namespace {

QString LineEvents(const QString& com)
{
    const QHash<LineEvent::Kind, QString> names{
        {LineEvent::Dtr, "DTR"}, {LineEvent::Rts, "RTS"}, {LineEvent::Break, "break"}, {LineEvent::Closed, "closed"}};
    QStringList events;
    for (const LineEvent& e : win32::testhook::LineHistory(com))
        events << names.value(e.kind) + (e.kind == LineEvent::Closed ? "" : e.on ? "+" : "-");
    return events.join(' ');
}

QStringList Chosen(const TestWindow& w, std::initializer_list<const char*> lists)
{
    QStringList texts;
    for (const char* list : lists)
        texts << w.List(list)->currentText();
    return texts;
}

// Send type, bytes per line, notation, then CR, LF, and the send box enabled and focused, when so.
QString DisplaySettings(const TestWindow& w)
{
    QStringList shown = Chosen(w, {"TXDataTypeListBox", "RXBitsNrListBox", "OutCombo"});
    const QLineEdit* sendBox = w.Edit("SendData");
    const std::pair<bool, const char*> states[] = {{w.Check("CRCheckbox")->isChecked(), "CR"},
                                                   {w.Check("LFCheckbox")->isChecked(), "LF"},
                                                   {sendBox->isEnabled(), "enabled"},
                                                   {w.window.focusWidget() == sendBox, "focused"}};
    for (const auto& [on, name] : states)
        if (on)
            shown << name;
    return shown.join(' ');
}

}

class tst_ProfilesWindow : public QObject {
    Q_OBJECT

private slots:
    // From settings unlike every profile's, the window takes the device's (rows named by type).
    void windowFollowsTheProfile_data()
    {
        QTest::addColumn<uint>("bitRate");
        QTest::addColumn<QString>("lines"); // as the settings leave them, then raised and ticked

        QTest::addColumn<QString>("display"); // IRMan leaves it as it was
        const QString dropped = "DTR- RTS- RTS+ DTR+ RTS+ DTR+";
        QTest::newRow("IRMan") << 9600u << dropped << "BIN 5 Bin";
        QTest::newRow("Creative Infra") << 4800u << dropped << "HEX 9 Hex enabled focused";
        QTest::newRow("CM12(X10)") << 4800u << dropped << "HEX 1 Hex enabled focused";
        QTest::newRow("GSM Data") << 115200u << "DTR+ RTS+ RTS+ DTR+ RTS+ DTR+" << "CHAR 0 Chr CR LF enabled focused";
    }
    void windowFollowsTheProfile()
    {
        TestWindow w({1});
        const std::pair<const char*, const char*> unlikeEveryProfile[] = {
            {"BitsListBox", "7"},         {"ParityListBox", "Even"}, {"StopListBox", "2"}, {"HandshakeListBox", "XON/XOFF"},
            {"TXDataTypeListBox", "BIN"}, {"RXBitsNrListBox", "5"},  {"OutCombo", "Bin"}};
        for (const auto& [list, entry] : unlikeEveryProfile)
            QVERIFY(Choose(w.List(list), entry));
        QVERIFY(Connect(w, QTest::currentDataTag()));
        QTEST(w.List("SpeedListBox")->currentText().toUInt(), "bitRate");
        QTEST(w.ports.Device(1).SlaveBitRate(), "bitRate");
        win32::DCB dcb{};
        QVERIFY(win32::GetCommState(modZEMO::hCom, &dcb));
        QCOMPARE(QList<int>({dcb.ByteSize, dcb.Parity, dcb.StopBits}), QList<int>({8, win32::NOPARITY, win32::ONESTOPBIT}));
        QCOMPARE(Chosen(w, {"BitsListBox", "ParityListBox", "StopListBox", "HandshakeListBox"}),
                 QStringList({"8", "None", "1", "None"}));
        QTEST(DisplaySettings(w), "display");
        QTEST(LineEvents("COM1"), "lines");
        QVERIFY(w.Check("DTRv")->isEnabled() && w.Check("RTSv")->isEnabled() && w.messages.Messages().isEmpty());
    }

    void irmanStartUpSequence()
    {
        HostedDevice<devsim::IrmanDevice> irman;
        irman->SetCodeInterval(200ms);
        TestWindow w;
        irman.Start(w.ports, 1);
        QTRY_COMPARE(Items(w.List("ComPortListBox")), QStringList{"COM1"}); // plugged in while the window is open
        QVERIFY(Connect(w, "IRMan"));
        QVERIFY(!w.Edit("SendData")->isEnabled());
        // "I" then "R", each 500 ms after the step before (a late-waking device thread shortens a gap).
        QTRY_COMPARE(irman->Received().Bytes(), QByteArray("IR"));
        const auto chunks = irman->Received().Chunks();
        QCOMPARE(chunks.size(), size_t(2));
        const auto raised = win32::testhook::LineHistory("COM1").back().when;
        QVERIFY2(chunks[0].at - raised >= 450ms, "I came too soon after the lines went up");
        QVERIFY2(chunks[1].at - chunks[0].at >= 450ms, "R came too soon after I");
        // Its "OK" and the codes after it show once the connect is done.
        QTRY_VERIFY(w.Box("RXOut")->Text().startsWith("OK") && w.Box("RXOut")->TextLength() >= 2 + 2 * 6);
        QVERIFY(w.messages.Messages().isEmpty());
    }

    // Refused without a second port (a busy one: tst_Connect), then connected.
    void transparent()
    {
        TestWindow w({1, 2});
        w.window.show();
        QVERIFY(Choose(w.List("ParityListBox"), "Even") && Choose(w.List("BitsListBox"), "7"));
        ChooseInterface(w, "Transparent");
        QPushButton* init = w.Button("COMInitButton");
        QVERIFY(Choose(w.List("ComPortListBox"), "COM2")); // forgets the second port
        QTest::mouseClick(init, Qt::LeftButton);
        QVERIFY(!Connected(w) && !ShowsTwoPorts(w) && !w.Timer()->isActive() && init->isEnabled());
        QCOMPARE(w.window.focusWidget(), w.List("AltComListBox"));
        const auto& said = w.messages.Messages().first();
        QCOMPARE(QString::number(said.style) + said.title + ": " + said.text, "0ZEMO: Please select second port before init!");
        w.messages.Clear();
        QVERIFY(Choose(w.List("ComPortListBox"), "COM1") && Choose(w.List("AltComListBox"), "COM2"));
        QVERIFY(Connect(w, "Transparent"));
        QCOMPARE(w.Label("Out1Label")->text() + w.Label("Out2Label")->text(), QStringLiteral("COM1COM2"));
        QVERIFY(w.Box("RXOut")->geometry().right() < w.Box("RX2Out")->geometry().left()); // side by side
        QVERIFY(!w.Edit("SendData")->isEnabled() && !w.Button("SendButton")->isEnabled()
                && !w.List("AltComListBox")->isEnabled());
        for (const win32::HANDLE h : {modZEMO::hCom, modZEMO::hCom2}) {
            win32::DCB dcb{};
            QVERIFY(win32::GetCommState(h, &dcb));
            QCOMPARE(QList<uint>({dcb.BaudRate, dcb.ByteSize, dcb.Parity}), QList<uint>({115200, 7, win32::EVENPARITY}));
        }
        // The lines cannot be changed while two ports are open.
        QTest::mouseClick(w.Check("DTRv"), Qt::LeftButton);
        QCOMPARE(w.Check("DTRv")->checkState(), Qt::Checked);

        for (const char* com : {"COM1", "COM2"}) // Disc. drops the primary's DTR and RTS, then closes both
            win32::testhook::ClearLineHistory(com);
        QTest::mouseClick(init, Qt::LeftButton);
        QVERIFY(!Connected(w) && w.List("AltComListBox")->isEnabled());
        QCOMPARE(LineEvents("COM1") + " / " + LineEvents("COM2"), QStringLiteral("DTR- RTS- closed / closed"));
        QVERIFY(PortIsFree("COM1") && PortIsFree("COM2") && w.messages.Messages().isEmpty());
    }
};

QTEST_MAIN(tst_ProfilesWindow)
#include "tst_ProfilesWindow.moc"
