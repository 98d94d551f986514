#include "app/frmMain.h"
#include "monitor/ReceiveView.h"
#include "support/MessageRecorder.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

// Geometry in twips as the window's design gives it; 15 twips make a pixel.
class tst_layout : public QObject {
    Q_OBJECT

    static QRect Twips(int l, int t, int w, int h) { return {l / 15, t / 15, w / 15, h / 15}; }

private slots:
    void controlGeometry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("Frame1") << "Frame1" << "ClientArea" << Twips(120, 120, 2775, 2895);
        QTest::newRow("ITypeListBox") << "ITypeListBox" << "ClientArea" << Twips(3960, 240, 1815, 315);
        QTest::newRow("COMInitButton") << "COMInitButton" << "ClientArea" << Twips(5880, 240, 855, 375);
        QTest::newRow("SendFrame") << "SendFrame" << "ClientArea" << Twips(3000, 720, 3735, 2295);
        QTest::newRow("Frame2") << "Frame2" << "ClientArea" << Twips(120, 3120, 6585, 2775);
        QTest::newRow("ComPortListBox") << "ComPortListBox" << "Frame1" << Twips(1200, 360, 1335, 315);
        QTest::newRow("AltComListBox") << "AltComListBox" << "Frame1" << Twips(1200, 2520, 1335, 315);
        QTest::newRow("SendData") << "SendData" << "SendFrame" << Twips(600, 720, 3015, 285);
        QTest::newRow("Label8") << "Label8" << "SendFrame" << Twips(1920, 1800, 495, 255);
        QTest::newRow("SendButton") << "SendButton" << "SendFrame" << Twips(2640, 1680, 975, 375);
        QTest::newRow("RXOut") << "RXOut" << "Frame2" << Twips(120, 480, 6255, 1695);
        QTest::newRow("RX2Out") << "RX2Out" << "Frame2" << Twips(3240, 480, 3100, 1695);
        QTest::newRow("ClearButton") << "ClearButton" << "Frame2" << Twips(5520, 2280, 975, 375);
    }
    void controlGeometry()
    {
        QFETCH(QString, name);
        QFETCH(QString, container);
        QFETCH(QRect, geometry);
        frmMain window;
        auto* w = window.findChild<QWidget*>(name);
        QVERIFY(w);
        QCOMPARE(w->parentWidget()->objectName(), container);
        QCOMPARE(w->geometry(), geometry);
    }

    void captionsAndTooltips_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Frame1") << "Frame1" << "COM Port Configuration";
        QTest::newRow("SendFrame") << "SendFrame" << "Transmitted Data";
        QTest::newRow("Frame2") << "Frame2" << "Received Data";
        QTest::newRow("Label6") << "Label6" << "StopBits";
        QTest::newRow("Com2Label") << "Com2Label" << "Alternate Port";
        QTest::newRow("Label15") << "Label15" << "DCD(1)";
        QTest::newRow("label99") << "label99" << "RI(9)";
        QTest::newRow("label39") << "label39" << "DSR(6)";
        QTest::newRow("label33") << "label33" << "CTS(8)";
        QTest::newRow("Label10") << "Label10" << "Number of bytes per line";
        QTest::newRow("Label7") << "Label7" << "Out Form";
    }
    void captionsAndTooltips()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        frmMain window;
        auto* w = window.findChild<QWidget*>(name);
        QVERIFY(w);
        if (auto* frame = qobject_cast<QGroupBox*>(w))
            QCOMPARE(frame->title(), caption);
        else
            QCOMPARE(qobject_cast<QLabel*>(w)->text(), caption);
    }

    void windowIconAndLists()
    {
        frmMain window;
        QCOMPARE(window.centralWidget()->size(), QSize(454, 400));
        QVERIFY(!window.windowIcon().isNull());
        QCOMPARE(window.windowIcon().availableSizes().value(0), QSize(32, 32));
        for (auto* list : window.findChildren<QComboBox*>())
            QVERIFY2(!list->isEditable(), qPrintable(list->objectName()));
    }

    void receiveBoxes()
    {
        frmMain window;
        window.show();
        QCOMPARE(window.RXOut->palette().color(QPalette::Base), QColor(128, 255, 255));
        QCOMPARE(window.RX2Out->palette().color(QPalette::Base), QColor(255, 255, 192));
        QCOMPARE(window.RXOut->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(window.RXOut->font().pointSizeF(), 8.25);
        // RXOut lies above RX2Out and at full width covers it.
        const auto siblings = window.Frame2->children();
        QVERIFY(siblings.indexOf(window.RXOut) > siblings.indexOf(window.RX2Out));
        QVERIFY(window.RXOut->geometry().contains(window.RX2Out->geometry()));
        window.RXOut->resize(3100 / 15, window.RXOut->height());
        QVERIFY(!window.RXOut->geometry().intersects(window.RX2Out->geometry()));
    }

    void focusOrder()
    {
        frmMain window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window) || true);
        QTRY_COMPARE(QApplication::focusWidget(), window.ComPortListBox);
        const QStringList expected{"SpeedListBox", "HandshakeListBox", "BitsListBox", "ParityListBox",
                                   "StopListBox", "COMInitButton", "RXBitsNrListBox"};
        QWidget* w = window.ComPortListBox;
        for (const auto& name : expected) {
            w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus))
                w = w->nextInFocusChain();
            QCOMPARE(w->objectName(), name);
        }
    }

    void grabWindow()
    {
        frmMain window;
        window.show();
        QDir().mkpath(qEnvironmentVariable("WENDALE_ARTIFACT_DIR", QStringLiteral(".")));
        const QString path = qEnvironmentVariable("WENDALE_ARTIFACT_DIR", QStringLiteral(".")) + "/window.png";
        QVERIFY(window.grab().save(path));
    }
};

QTEST_MAIN(tst_layout)
#include "tst_layout.moc"
