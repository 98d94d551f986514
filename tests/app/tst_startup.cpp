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

// Everything a user can see of the lists and check boxes, to compare two windows.
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
    // The ports found are listed in numeric order up to COM30, with their
    // devices as tooltips; nothing is open and nothing can be sent yet.
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
        if (!listed.isEmpty()) {
            QCOMPARE(modZEMO::PortName, listed.first());
            QCOMPARE(w.ComPortListBox->itemData(0, Qt::ToolTipRole).toString(),
                     ports.device(listed.first().mid(3).toInt()).slavePath());
        }
        QCOMPARE(w.windowTitle(), QStringLiteral("Wendale v1.1.1"));
        QVERIFY(!w.PortIsOpen && !w.TwoPortMode && !w.Timer1->isActive());
        QCOMPARE(w.COMInitButton->text(), QStringLiteral("Init"));
        for (QWidget* off : {static_cast<QWidget*>(w.AltComListBox), static_cast<QWidget*>(w.SendData),
                             static_cast<QWidget*>(w.SendButton), static_cast<QWidget*>(w.DTRv),
                             static_cast<QWidget*>(w.RTSv)})
            QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
        QVERIFY(!w.DTRv->isChecked() && !w.RTSv->isChecked());
        QVERIFY(messages.messages().isEmpty());
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
