#include "app/frmMain.h"
#include "monitor/ReceiveView.h"
#include "support/MessageRecorder.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimer>

class tst_MonitorWindow : public QObject {
    Q_OBJECT

private slots:
    void boxesFollowTheDisplayLists()
    {
        MessageRecorder messages;
        frmMain window;
        window.RX.Append("ABCDE", 0, false, 0);
        window.RX2.Append("XYZ", 0, false, 0);
        QStringList captions;
        for (const int format : {0, 1, 2}) {
            frmMain::SelectItem(window.OutCombo, format);
            captions << window.OutLabel->text();
            QCOMPARE(window.RXOut->Text(), window.RX.Text(format)->Whole());
            QCOMPARE(window.RX2Out->Text(), window.RX2.Text(format)->Whole());
            QCOMPARE(window.RXOut->CaretPosition(), window.RXOut->TextLength());
        }
        QCOMPARE(captions, (QStringList{"Binary", "Hex", "Char"}));

        // Both texts are re-broken and shown anew: a line written into the box goes.
        window.RXOut->AppendLocalText("\r\nCM11/12 interface reset OK.");
        frmMain::SelectItem(window.RXBitsNrListBox, 2);
        QCOMPARE(window.RXOut->Text() + '|' + window.RX2Out->Text(), QByteArray("AB\r\nCD\r\nE|XY\r\nZ"));

        window.ClearButton_Click();
        QVERIFY(window.RXOut->Text().isEmpty() && window.RX2Out->Text().isEmpty());
        QVERIFY(window.RX.Bytes().Size() == 0 && window.RX2.Bytes().Size() == 0);
    }

    void tickWithNothingReceivedChangesOnlyIndicators()
    {
        MessageRecorder messages;
        frmMain window;
        window.RX.Append("AB", 0, false, 0);
        frmMain::SelectItem(window.OutCombo, 2);
        window.RXOut->AppendLocalText("!");
        window.Timer1_Timer();
        QCOMPARE(window.Label8->text(), QStringLiteral(" 0"));
        for (QLabel* line : {window.CTSv, window.DSRv, window.RIv, window.DCDv})
            QCOMPARE(line->text(), QStringLiteral("0"));
        QCOMPARE(window.RXOut->Text(), QByteArray("AB!"));
        // Nothing is open, so the poll does not go on.
        QVERIFY(!window.Timer1->isActive());
    }
};

QTEST_MAIN(tst_MonitorWindow)
#include "tst_MonitorWindow.moc"
