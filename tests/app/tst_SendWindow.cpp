#include "app/MsgBox.h"
#include "support/window/TestWindow.h"
#include "transmit/SendHistory.h"
#include "transmit/TrimSpaces.h"

namespace {

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
        QTest::addColumn<QString>("notation");
        QTest::addColumn<QString>("ending"); // what CR and LF are ticked for
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("button"); // Send instead of Enter
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<bool>("focusSendData");
        QTest::newRow("Enter, hex with spaces around") << "HEX" << "" << "  41 " << false << QByteArray("A") << QStringList() << true;
        QTest::newRow("CR LF") << "CHAR" << "\r\n" << "AT" << true << QByteArray("AT\r\n") << QStringList() << true;
        QTest::newRow("LF") << "CHAR" << "\n" << "ATI" << true << QByteArray("ATI\n") << QStringList() << true;
        QTest::newRow("spaces only: nothing happens") << "HEX" << "" << "   " << true << QByteArray() << QStringList() << false;
        QTest::newRow("not hex") << "HEX" << "" << "zz" << true << QByteArray() << QStringList{"Use only HEX digits (0...9, a...f)."} << true;
        QTest::newRow("odd digits") << "HEX" << "" << "ABC" << true << QByteArray()
                                    << QStringList{"You must enter an even number of hex digits."} << false;
    }
    void sendFromTheBox()
    {
        QFETCH(QString, notation);
        QFETCH(QString, ending);
        QFETCH(QString, typed);
        QFETCH(bool, button);
        QFETCH(QByteArray, sent);
        modZEMO::SendHistory = {};
        TestWindow w({1});
        PtyPair& device = w.ports.Device(1);
        QVERIFY(Connect(w, "Generic"));
        QLineEdit* box = w.Edit("SendData");
        QVERIFY(Choose(w.List("TXDataTypeListBox"), notation));
        w.Check("CRCheckbox")->setChecked(ending.contains('\r'));
        w.Check("LFCheckbox")->setChecked(ending.contains('\n'));
        QTest::keyClicks(box, typed);
        if (button)
            QTest::mouseClick(w.Button("SendButton"), Qt::LeftButton);
        else
            QTest::keyClick(box, Qt::Key_Return);
        QTEST(w.messages.Texts(), "said");
        if (!w.messages.Messages().isEmpty())
            QCOMPARE(w.messages.Messages().first().style, int(modZEMO::MsgInformation));
        QCOMPARE(box->text(), sent.isEmpty() ? typed : QString());
        QTEST(w.window.focusWidget() == box, "focusSendData");
        QVERIFY(w.window.focusWidget() == box || w.window.focusWidget() == w.Button("SendButton"));
        if (sent.isEmpty())
            QCOMPARE(device.Receive(1, 100), QByteArray());
        else {
            QCOMPARE(device.Receive(sent.size()), sent);
            // What the device sends back shows in the box.
            QVERIFY(device.Send(sent));
            QTRY_COMPARE(w.Box("RXOut")->Text(), sent);
        }

        // Held Up recalls once; when it comes up the caret goes to the end.
        box->clear();
        UpKey(box, true);
        UpKey(box, false, true);
        UpKey(box, true, true);
        box->setCursorPosition(0);
        UpKey(box, false);
        const QString stored = modZEMO::TrimSpaces(typed);
        QCOMPARE(box->text(), stored);
        QCOMPARE(box->cursorPosition(), stored.size());
    }

    void crAndLfOnlyForChar()
    {
        TestWindow w;
        QCheckBox* boxes[] = {w.Check("CRCheckbox"), w.Check("LFCheckbox")};
        QVERIFY(Choose(w.List("TXDataTypeListBox"), "CHAR"));
        for (QCheckBox* box : boxes)
            box->setChecked(true);
        QVERIFY(Choose(w.List("TXDataTypeListBox"), "HEX"));
        for (const QCheckBox* box : boxes)
            QVERIFY(!box->isEnabled() && !box->isChecked());
        QVERIFY(Choose(w.List("TXDataTypeListBox"), "CHAR") && boxes[0]->isEnabled() && boxes[1]->isEnabled());
    }
};

QTEST_MAIN(tst_SendWindow)
#include "tst_SendWindow.moc"
