#include "devsim/TalkerDevice.h"
#include "app/frmMain.h"
#include "app/monitor/ReceiveView.h"
#include "support/HostedDevice.h"
#include "support/window/MessageRecorder.h"
#include "transmit/SendHistory.h"
#include "transmit/TrimSpaces.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace std::chrono_literals;

namespace {

constexpr int Hex = 0, Char = 3;

void UpKey(QLineEdit* box, bool down, bool autoRepeat = false)
{
    QTest::simulateEvent(box, down, Qt::Key_Up, Qt::NoModifier, QString(), autoRepeat);
}

}

class tst_SendWindow : public QObject {
    Q_OBJECT

private slots:
    // What was sent, or refused and left to be mended, comes back with Up.
    void sendFromTheBox_data()
    {
        QTest::addColumn<int>("notation");
        QTest::addColumn<bool>("cr");
        QTest::addColumn<bool>("lf");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("button"); // Send instead of Enter
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<bool>("focusSendData");
        QTest::newRow("Enter, hex with spaces around") << Hex << false << false << "  41 " << false << QByteArray("A") << QStringList() << true;
        QTest::newRow("CR LF") << Char << true << true << "AT" << true << QByteArray("AT\r\n") << QStringList() << true;
        QTest::newRow("LF") << Char << false << true << "ATI" << true << QByteArray("ATI\n") << QStringList() << true;
        QTest::newRow("spaces only: nothing happens") << Hex << false << false << "   " << true << QByteArray() << QStringList() << false;
        QTest::newRow("not hex") << Hex << false << false << "zz" << true << QByteArray() << QStringList{"Use only HEX digits (0...9, a...f)."} << true;
        QTest::newRow("odd digits") << Hex << false << false << "ABC" << true << QByteArray()
                                    << QStringList{"You must enter an even number of hex digits."} << false;
    }
    void sendFromTheBox()
    {
        QFETCH(int, notation);
        QFETCH(bool, cr);
        QFETCH(bool, lf);
        QFETCH(QString, typed);
        QFETCH(bool, button);
        QFETCH(QByteArray, sent);
        modZEMO::SendHistory = {};
        SimulatedPorts ports;
        HostedDevice<devsim::TalkerDevice> talker{QStringLiteral("COM1")};
        talker->SetLineInterval(1h); // only echoes
        talker.start(ports, 1);
        MessageRecorder messages;
        frmMain w;
        w.show();
        QTest::mouseClick(w.COMInitButton, Qt::LeftButton);
        QVERIFY(w.PortIsOpen);
        w.TXDataTypeListBox->setCurrentIndex(notation);
        w.CRCheckbox->setChecked(cr);
        w.LFCheckbox->setChecked(lf);
        QTest::keyClicks(w.SendData, typed);
        if (button)
            QTest::mouseClick(w.SendButton, Qt::LeftButton);
        else
            QTest::keyClick(w.SendData, Qt::Key_Return);
        QTEST(messages.texts(), "said");
        if (!messages.messages().isEmpty())
            QCOMPARE(messages.messages().first().style, 64);
        QCOMPARE(w.SendData->text(), sent.isEmpty() ? typed : QString());
        QTEST(w.focusWidget() == w.SendData, "focusSendData");
        QVERIFY(w.focusWidget() == w.SendData || w.focusWidget() == w.SendButton);
        if (sent.isEmpty()) {
            QTest::qWait(100);
            QCOMPARE(talker->Received().Size(), 0);
        } else {
            QTRY_COMPARE(talker->Received().Bytes(), sent);
            // The talker echoes: what went out comes back into the box.
            QTRY_COMPARE(w.RXOut->Text(), sent);
        }

        // Held Up recalls once; when it comes up the caret goes to the end.
        w.SendData->clear();
        UpKey(w.SendData, true);
        UpKey(w.SendData, false, true);
        UpKey(w.SendData, true, true);
        w.SendData->setCursorPosition(0);
        UpKey(w.SendData, false);
        const QString stored = modZEMO::TrimSpaces(typed);
        QCOMPARE(w.SendData->text(), stored);
        QCOMPARE(w.SendData->cursorPosition(), stored.size());
    }

    void crAndLfOnlyForChar()
    {
        MessageRecorder messages;
        frmMain w;
        w.TXDataTypeListBox->setCurrentIndex(Char);
        w.CRCheckbox->setChecked(true);
        w.LFCheckbox->setChecked(true);
        w.TXDataTypeListBox->setCurrentIndex(Hex);
        for (const QCheckBox* box : {w.CRCheckbox, w.LFCheckbox})
            QVERIFY(!box->isEnabled() && !box->isChecked());
        w.TXDataTypeListBox->setCurrentIndex(Char);
        QVERIFY(w.CRCheckbox->isEnabled() && w.LFCheckbox->isEnabled());
    }
};

QTEST_MAIN(tst_SendWindow)
#include "tst_SendWindow.moc"
