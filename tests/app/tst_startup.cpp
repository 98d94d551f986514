#include "port/ModZemoPorts.h"
#include "support/TestWindow.h"
#include "support/WindowSteps.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

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
        TestWindow t(present);
        const frmMain& w = t.w;
        QCOMPARE(Items(w.ComPortListBox), listed);
        QCOMPARE(Items(w.AltComListBox), alternates);
        QCOMPARE(w.ComPortListBox->currentIndex(), listed.isEmpty() ? -1 : 0);
        QCOMPARE(w.AltComListBox->currentIndex(), alternates.isEmpty() ? -1 : 0);
        if (!listed.isEmpty()) {
            QCOMPARE(modZEMO::PortName, listed.first());
            QCOMPARE(w.ComPortListBox->itemData(0, Qt::ToolTipRole).toString(),
                     t.ports.device(listed.first().mid(3).toInt()).slavePath());
        }
        QVERIFY(!w.PortIsOpen && !w.TwoPortMode && !w.Timer1->isActive());
        QCOMPARE(w.COMInitButton->text(), QStringLiteral("Init"));
        for (const QWidget* off : QList<const QWidget*>{w.AltComListBox, w.SendData, w.SendButton, w.DTRv, w.RTSv})
            QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
        QVERIFY(!w.DTRv->isChecked() && !w.RTSv->isChecked());
        QVERIFY(t.messages.messages().isEmpty());
    }

    void portListsFollowTheDevices()
    {
        TestWindow t({3, 5});
        frmMain& w = t.w;
        // The second list leaves out the chosen port and forgets its own choice.
        w.ComPortListBox->setCurrentIndex(1);
        QCOMPARE(modZEMO::PortName, QStringLiteral("COM5"));
        QCOMPARE(Items(w.AltComListBox), QStringList{"COM3"});
        QCOMPARE(w.AltComListBox->currentIndex(), -1);
        w.AltComListBox->setCurrentIndex(0);

        t.ports.add(1);
        QTRY_COMPARE(Items(w.ComPortListBox), QStringList({"COM1", "COM3", "COM5"}));
        QCOMPARE(w.ComPortListBox->currentText(), QStringLiteral("COM5"));
        QCOMPARE(Items(w.AltComListBox), QStringList({"COM1", "COM3"}));
        QCOMPARE(w.AltComListBox->currentText(), QStringLiteral("COM3"));
        QCOMPARE(w.ComPortListBox->itemData(0, Qt::ToolTipRole).toString(), t.ports.device(1).slavePath());

        // The chosen port goes: the first one listed is chosen, as at start-up.
        t.ports.remove(5);
        QTRY_COMPARE(Items(w.ComPortListBox), QStringList({"COM1", "COM3"}));
        QCOMPARE(w.ComPortListBox->currentText(), QStringLiteral("COM1"));
        QCOMPARE(Items(w.AltComListBox), QStringList({"COM3"}));
        QCOMPARE(w.AltComListBox->currentText(), QStringLiteral("COM3"));

        // Nothing changes while a port is open; Disc. catches up.
        w.COMInitButton_Click();
        QVERIFY(w.PortIsOpen);
        t.ports.add(7);
        QTest::qWait(600);
        QCOMPARE(Items(w.ComPortListBox), QStringList({"COM1", "COM3"}));
        w.COMInitButton_Click();
        QCOMPARE(Items(w.ComPortListBox), QStringList({"COM1", "COM3", "COM7"}));
    }
};

QTEST_MAIN(tst_startup)
#include "tst_startup.moc"
