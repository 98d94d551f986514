#include "app/frmMain.h"
#include "monitor/ReceiveView.h"
#include "monitor/TickCounter.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimer>

class tst_MonitorWindow : public QObject {
    Q_OBJECT

private slots:
    void notationSwitchShowsTheTextsOfBothPorts()
    {
        frmMain window;
        window.RX.Append(QByteArray("A\0\r\n", 4), 0, false, 0);
        window.RX2.Append("Z", 0, false, 0);
        const struct { int index; const char* caption; } formats[] = {{0, "Binary"}, {1, "Hex"}, {2, "Char"}, {0, "Binary"}};
        for (const auto& format : formats) {
            frmMain::SelectItem(window.OutCombo, format.index);
            QCOMPARE(window.OutLabel->text(), QString::fromLatin1(format.caption));
            QCOMPARE(window.RXOut->Text(), window.RX.Text(format.index)->Whole());
            QCOMPARE(window.RX2Out->Text(), window.RX2.Text(format.index)->Whole());
            QCOMPARE(window.RXOut->CaretPosition(), window.RXOut->TextLength());
        }
    }

    void bytesPerLineRebreaksAndShows()
    {
        frmMain window;
        frmMain::SelectItem(window.OutCombo, 1);
        window.RX.Append("ABCDE", 0, false, 0);
        window.RXOut->AppendLocalText("\r\nCM11/12 interface reset OK.");
        frmMain::SelectItem(window.RXBitsNrListBox, 2);
        QCOMPARE(window.RXOut->Text(), QByteArray("41 42 \r\n43 44 \r\n45 "));
        QCOMPARE(window.RX.LineCount(), int16_t(0));
    }

    void clearEmptiesBothBoxes()
    {
        frmMain window;
        window.RX.Append("AB", 1, false, 0);
        window.RX2.Append("CD", 1, false, 0);
        frmMain::SelectItem(window.OutCombo, 2);
        window.ClearButton_Click();
        QCOMPARE(window.RXOut->Text(), QByteArray());
        QCOMPARE(window.RX2Out->Text(), QByteArray());
        QCOMPARE(window.RX.Text(0)->Size(), 0);
        QCOMPARE(window.RX2.Text(1)->Size(), 0);
    }

    void tickWithNothingReceivedChangesOnlyIndicators()
    {
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
