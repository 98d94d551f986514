#include "app/frmMain.h"
#include "port/ModZemoPorts.h"
#include "support/MessageRecorder.h"
#include "support/SimulatedPorts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

QStringList Items(const QComboBox* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->itemText(i);
    return out;
}

// Everything a user can see of the lists and buttons, to compare two windows.
QStringList Snapshot(const frmMain& w)
{
    QStringList out{w.windowTitle()};
    for (auto* list : w.findChildren<QComboBox*>())
        out << list->objectName() + "=" + QString::number(list->currentIndex()) + "/" + Items(list).join(',')
                + (list->isEnabled() ? "" : " disabled");
    for (auto* box : w.findChildren<QCheckBox*>())
        out << box->objectName() + QString::number(box->checkState()) + (box->isEnabled() ? "" : " disabled");
    return out;
}

}

class tst_startup : public QObject {
    Q_OBJECT

private slots:
    void idleState()
    {
        SimulatedPorts ports;
        ports.add(1);
        ports.add(2);
        MessageRecorder messages;
        frmMain w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Wendale v1.1.1"));
        QVERIFY(!w.Timer1->isActive());
        QCOMPARE(w.COMInitButton->text(), QStringLiteral("Init"));
        QVERIFY(w.COMInitButton->isEnabled());
        for (QWidget* enabled : {static_cast<QWidget*>(w.ComPortListBox), static_cast<QWidget*>(w.ITypeListBox),
                                 static_cast<QWidget*>(w.SpeedListBox), static_cast<QWidget*>(w.BitsListBox),
                                 static_cast<QWidget*>(w.ParityListBox), static_cast<QWidget*>(w.StopListBox),
                                 static_cast<QWidget*>(w.HandshakeListBox)})
            QVERIFY2(enabled->isEnabled(), qPrintable(enabled->objectName()));
        for (QWidget* disabled : {static_cast<QWidget*>(w.AltComListBox), static_cast<QWidget*>(w.Com2Label),
                                  static_cast<QWidget*>(w.SendData), static_cast<QWidget*>(w.SendButton),
                                  static_cast<QWidget*>(w.DTRv), static_cast<QWidget*>(w.RTSv)})
            QVERIFY2(!disabled->isEnabled(), qPrintable(disabled->objectName()));
        QVERIFY(w.Out1Label->isHidden());
        QVERIFY(w.Out2Label->isHidden());
        QCOMPARE(w.DTRv->checkState(), Qt::Unchecked);
        QCOMPARE(w.RTSv->checkState(), Qt::Unchecked);
        QVERIFY(!w.PortIsOpen);
        QVERIFY(!w.TwoPortMode);
        QCOMPARE(w.SelectedInterface, int16_t(0));
        QCOMPARE(modZEMO::PortName, QStringLiteral("COM1"));
        QVERIFY(messages.messages().isEmpty());
    }

    void listContents_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("selected");
        QTest::newRow("interface") << "ITypeListBox" << 6 << "Generic";
        QTest::newRow("speed") << "SpeedListBox" << 12 << "9600";
        QTest::newRow("handshake") << "HandshakeListBox" << 3 << "None";
        QTest::newRow("bits") << "BitsListBox" << 4 << "8";
        QTest::newRow("parity") << "ParityListBox" << 5 << "None";
        QTest::newRow("stop") << "StopListBox" << 3 << "1";
        QTest::newRow("transmit type") << "TXDataTypeListBox" << 4 << "CHAR";
        QTest::newRow("bytes per line") << "RXBitsNrListBox" << 65 << "0";
        QTest::newRow("display") << "OutCombo" << 3 << "Chr";
    }
    void listContents()
    {
        QFETCH(QString, name);
        QFETCH(int, count);
        QFETCH(QString, selected);
        SimulatedPorts ports;
        frmMain w;
        auto* list = w.findChild<QComboBox*>(name);
        QCOMPARE(list->count(), count);
        QCOMPARE(list->currentText(), selected);
        if (name == "RXBitsNrListBox")
            QCOMPARE(list->itemText(64), QStringLiteral("64"));
        if (name == "SpeedListBox")
            QCOMPARE(list->itemText(11), QStringLiteral("128000"));
    }

    void comPorts_data()
    {
        QTest::addColumn<QList<int>>("present");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QStringList>("alternates");
        QTest::newRow("none") << QList<int>{} << QStringList{} << QStringList{};
        QTest::newRow("one") << QList<int>{4} << QStringList{"COM4"} << QStringList{};
        QTest::newRow("numeric order") << QList<int>{10, 3} << QStringList{"COM3", "COM10"} << QStringList{"COM10"};
        QTest::newRow("COM31 never") << QList<int>{30, 31} << QStringList{"COM30"} << QStringList{};
    }
    void comPorts()
    {
        QFETCH(QList<int>, present);
        QFETCH(QStringList, listed);
        QFETCH(QStringList, alternates);
        SimulatedPorts ports;
        for (int n : present)
            ports.add(n);
        MessageRecorder messages;
        frmMain w;
        QCOMPARE(Items(w.ComPortListBox), listed);
        QCOMPARE(Items(w.AltComListBox), alternates);
        QCOMPARE(w.ComPortListBox->currentIndex(), listed.isEmpty() ? -1 : 0);
        QCOMPARE(w.AltComListBox->currentIndex(), alternates.isEmpty() ? -1 : 0);
        QVERIFY(messages.messages().isEmpty());
        if (!listed.isEmpty()) {
            const QString tip = w.ComPortListBox->itemData(0, Qt::ToolTipRole).toString();
            QCOMPARE(tip, ports.device(listed.first().mid(3).toInt()).slavePath());
        }
    }

    void choosingAnotherPortForgetsTheSecond()
    {
        SimulatedPorts ports;
        for (int n : {1, 2, 3})
            ports.add(n);
        frmMain w;
        w.ComPortListBox->setCurrentIndex(1);
        QCOMPARE(modZEMO::PortName, QStringLiteral("COM2"));
        QCOMPARE(Items(w.AltComListBox), (QStringList{"COM1", "COM3"}));
        QCOMPARE(w.AltComListBox->currentIndex(), -1);
    }

    void twoWindowsStartAlike()
    {
        SimulatedPorts ports;
        ports.add(2);
        ports.add(5);
        QStringList first;
        {
            frmMain w;
            first = Snapshot(w);
            w.SpeedListBox->setCurrentIndex(2);
            w.OutCombo->setCurrentIndex(0);
            w.ITypeListBox->setCurrentIndex(5);
        }
        frmMain second;
        QCOMPARE(Snapshot(second), first);
    }
};

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
