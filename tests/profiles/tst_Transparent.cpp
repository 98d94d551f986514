#include "app/frmMain.h"
#include "devsim/RelayEnd.h"
#include "monitor/ReceiveView.h"
#include "port/ModZemoPorts.h"
#include "port/ModemLineHook.h"
#include "support/HostedDevice.h"
#include "support/MessageRecorder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace std::chrono_literals;
using win32::testhook::LineEvent;

namespace {

void ChooseTransparent(frmMain& w, int secondIndex)
{
    w.show();
    w.ITypeListBox->setCurrentIndex(frmMain::Transparent);
    w.AltComListBox->setCurrentIndex(secondIndex);
}

// Both ports can be had again: a program opening them gets them.
bool Free(const QString& com)
{
    const win32::HANDLE h = modZEMO::OpenPort(com);
    if (h == win32::INVALID_HANDLE_VALUE)
        return false;
    win32::CloseHandle(h);
    return true;
}

QList<LineEvent::Kind> Kinds(const QString& com)
{
    QList<LineEvent::Kind> out;
    for (const auto& e : win32::testhook::LineHistory(com))
        out << e.kind;
    return out;
}

}

class tst_Transparent : public QObject {
    Q_OBJECT

private slots:
    void noSecondPortChosen()
    {
        SimulatedPorts ports;
        ports.add(1);
        ports.add(2);
        MessageRecorder messages;
        frmMain w;
        ChooseTransparent(w, 0);
        w.ComPortListBox->setCurrentIndex(1); // forgets the second port
        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QCOMPARE(messages.texts(), QStringList{"Please select second port before init!"});
        QCOMPARE(messages.messages().first().style, 0);
        QCOMPARE(messages.messages().first().title, QStringLiteral("ZEMO"));
        QCOMPARE(w.focusWidget(), w.AltComListBox);
        QVERIFY(!w.PortIsOpen);
        QVERIFY(w.COMInitButton->isEnabled());
        QVERIFY(Free("COM1") && Free("COM2"));
    }

    void busySecondPort()
    {
        SimulatedPorts ports;
        ports.add(1);
        PtyPair& second = ports.add(2);
        MessageRecorder messages;
        frmMain w;
        const int holder = ::open(qPrintable(second.slavePath()), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QCOMPARE(::flock(holder, LOCK_EX | LOCK_NB), 0);
        ChooseTransparent(w, 0);
        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QCOMPARE(messages.texts(), QStringList{"Error initializing COM port."});
        QVERIFY(!w.PortIsOpen && !w.TwoPortMode);
        QVERIFY(w.COMInitButton->isEnabled());
        QVERIFY(!w.Timer1->isActive());
        QVERIFY(Free("COM1"));
        ::close(holder);
    }

    void relaysAndShowsBothDirections()
    {
        SimulatedPorts ports;
        HostedDevice<devsim::RelayEnd> querying(devsim::RelayEnd::Role::Query);
        HostedDevice<devsim::RelayEnd> replying(devsim::RelayEnd::Role::Reply);
        querying->SetQueryInterval(100ms);
        querying.start(ports, 1);
        replying.start(ports, 2);
        MessageRecorder messages;
        frmMain w;
        w.ParityListBox->setCurrentIndex(2);
        w.BitsListBox->setCurrentIndex(2);
        ChooseTransparent(w, 0);
        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QVERIFY(w.PortIsOpen && w.TwoPortMode);
        QCOMPARE(w.SpeedListBox->currentText(), QStringLiteral("115200"));
        QCOMPARE(w.Out1Label->text(), QStringLiteral("COM1"));
        QCOMPARE(w.Out2Label->text(), QStringLiteral("COM2"));
        QVERIFY(w.Out1Label->isVisible() && w.Out2Label->isVisible());
        QCOMPARE(w.RXOut->width(), 3100 / 15);
        QVERIFY(!w.SendData->isEnabled() && !w.SendButton->isEnabled());
        QVERIFY(!w.AltComListBox->isEnabled());

        for (const win32::HANDLE h : {modZEMO::hCom, modZEMO::hCom2}) {
            win32::DCB dcb{};
            QVERIFY(win32::GetCommState(h, &dcb));
            QCOMPARE(dcb.BaudRate, 115200u);
            QCOMPARE(int(dcb.ByteSize), 7);
            QCOMPARE(int(dcb.Parity), int(win32::EVENPARITY));
        }

        // The query crosses to the replying device and its answer comes back.
        QTRY_VERIFY(w.RXOut->Text().contains("QUERY"));
        QTRY_VERIFY(w.RX2Out->Text().contains("REPLY"));
        QTRY_VERIFY(querying->Received().Bytes().contains("REPLY"));
        QCOMPARE(replying->Received().Bytes().left(5), QByteArray("QUERY"));
        // A received CR LF is followed by a stamp in two-port operation.
        QVERIFY(w.RXOut->Text().contains("\r\n000"));

        // The lines cannot be changed while two ports are open.
        QVERIFY(!w.DTRv->isEnabled() && !w.RTSv->isEnabled());
        QTest::mouseClick(w.DTRv, Qt::LeftButton);
        QCOMPARE(w.DTRv->checkState(), Qt::Checked);

        // Disc.: DTR and RTS of the primary port drop before both ports close.
        win32::testhook::ClearLineHistory("COM1");
        win32::testhook::ClearLineHistory("COM2");
        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QVERIFY(!w.PortIsOpen);
        QCOMPARE(Kinds("COM1"), (QList<LineEvent::Kind>{LineEvent::Dtr, LineEvent::Rts, LineEvent::Closed}));
        QCOMPARE(Kinds("COM2"), QList<LineEvent::Kind>{LineEvent::Closed});
        QVERIFY(w.AltComListBox->isEnabled());
        QVERIFY(Free("COM1") && Free("COM2"));
        QVERIFY(messages.messages().isEmpty());
    }
};

QTEST_MAIN(tst_Transparent)
#include "tst_Transparent.moc"
