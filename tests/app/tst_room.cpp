#include "app/frmMain.h"
#include "monitor/FindBar.h"
#include "monitor/ReceiveView.h"
#include "monitor/ShownCharacters.h"
#include "support/MessageRecorder.h"
#include "support/SimulatedPorts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace {

QStringList Items(const QComboBox* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->itemText(i);
    return items;
}

QMap<QString, QRect> Places(const QWidget& window)
{
    QMap<QString, QRect> places;
    for (const QWidget* w : window.findChildren<QWidget*>())
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            places[w->objectName()] = w->geometry();
    return places;
}

void SaveArtifact(QWidget& window, const QString& name)
{
    const QString dir = qEnvironmentVariable("WENDALE_ARTIFACT_DIR", QStringLiteral("."));
    QDir().mkpath(dir);
    QVERIFY(window.grab().save(dir + QLatin1Char('/') + name));
}

}

class tst_room : public QObject {
    Q_OBJECT

private slots:
    void growsAndComesBack_data()
    {
        QTest::addColumn<bool>("sideBySide");
        QTest::addColumn<QSize>("extra");
        QTest::newRow("one port, wider and taller") << false << QSize(501, 300);
        QTest::newRow("two ports, wider and taller") << true << QSize(501, 300);
        QTest::newRow("two ports, taller only") << true << QSize(0, 120);
    }
    void growsAndComesBack()
    {
        QFETCH(bool, sideBySide);
        QFETCH(QSize, extra);
        frmMain w;
        w.SetBoxesSideBySide(sideBySide);
        w.show();
        const QSize first = w.size();
        QCOMPARE(w.centralWidget()->size(), QSize(454, 400));
        QCOMPARE(w.minimumSize(), first);
        const QMap<QString, QRect> before = Places(w);

        w.resize(first + extra);
        QTRY_COMPARE(w.centralWidget()->size(), QSize(454, 400) + extra);
        for (const char* above : {"Frame1", "SendFrame", "ITypeListBox", "COMInitButton", "Label11", "OutLabel",
                                  "Out1Label"})
            QCOMPARE(w.findChild<QWidget*>(above)->geometry(), before[above]);
        QCOMPARE(w.Frame2->geometry(), before["Frame2"].adjusted(0, 0, extra.width(), extra.height()));
        for (const char* under : {"ClearButton", "OutCombo", "RXBitsNrListBox", "Label7", "Label10"})
            QCOMPARE(w.findChild<QWidget*>(under)->geometry(), before[under].translated(0, extra.height()));
        // The boxes take the room: side by side they share it and keep their gap.
        const QRect one = w.RXOut->geometry();
        const QRect two = w.RX2Out->geometry();
        QCOMPARE(one.height(), before["RXOut"].height() + extra.height());
        QCOMPARE(two.height(), one.height());
        QCOMPARE(two.right(), before["RX2Out"].right() + extra.width());
        if (sideBySide) {
            QCOMPARE(two.left() - one.right(), before["RX2Out"].left() - before["RXOut"].right());
            QVERIFY(std::abs(one.width() - two.width()) <= 1);
        } else {
            QCOMPARE(one.width(), before["RXOut"].width() + extra.width());
            QVERIFY(one.contains(two));
        }

        w.resize(first);
        QTRY_COMPARE(w.centralWidget()->size(), QSize(454, 400));
        QCOMPARE(Places(w), before);
    }

    void grabFirstSizeAndMaximized()
    {
        frmMain w;
        w.show();
        SaveArtifact(w, QStringLiteral("room-first.png"));
        w.showMaximized();
        QTRY_VERIFY(w.centralWidget()->width() > 454 && w.centralWidget()->height() > 400);
        SaveArtifact(w, QStringLiteral("room-maximized.png"));
    }

    void followsOnlyAtTheEnd()
    {
        SimulatedPorts ports;
        PtyPair& device = ports.add(1);
        MessageRecorder messages;
        frmMain w;
        w.show();
        w.OutCombo->setCurrentIndex(ReceivedTexts::Hex);
        w.RXBitsNrListBox->setCurrentIndex(16);
        w.COMInitButton_Click();
        QVERIFY(w.PortIsOpen);
        QTimer streaming;
        connect(&streaming, &QTimer::timeout, [&] { device.send(QByteArray(48, 'x')); });
        streaming.start(10);
        ReceiveView* box = w.RXOut;
        QScrollBar* bar = box->verticalScrollBar();
        const auto grows = [box] {
            const qsizetype size = box->TextLength();
            return QTest::qWaitFor([&] { return box->TextLength() > size + 2000; });
        };

        QTRY_VERIFY(bar->maximum() > 40);
        QVERIFY(grows());
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(box->CaretPosition(), box->TextLength());

        // Scrolled back: the view stays while the text grows.
        bar->setValue(bar->maximum() - 30);
        const int kept = bar->value();
        QVERIFY(grows());
        QCOMPARE(bar->value(), kept);
        QVERIFY(bar->maximum() > kept + 30);

        // A selection stays too.
        box->Select(100, 160);
        const int shown = bar->value();
        QVERIFY(grows());
        QCOMPARE(box->AnchorPosition(), 100);
        QCOMPARE(box->CaretPosition(), 160);
        QCOMPARE(bar->value(), shown);

        // At the end again it follows, by the scroll bar or by Ctrl+End.
        bar->setValue(bar->maximum());
        QVERIFY(grows());
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(box->CaretPosition(), box->TextLength());
        bar->setValue(0);
        QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(grows());
        QCOMPARE(bar->value(), bar->maximum());

        // Switching the notation puts the caret at the end as before.
        bar->setValue(0);
        w.OutCombo->setCurrentIndex(ReceivedTexts::Chr);
        QCOMPARE(box->CaretPosition(), box->TextLength());
        QVERIFY(box->Following());
        streaming.stop();
        w.COMInitButton_Click();
    }

    void portListsFollowTheDevices()
    {
        SimulatedPorts ports;
        ports.add(3);
        ports.add(5);
        MessageRecorder messages;
        frmMain w;
        w.ComPortListBox->setCurrentIndex(1);
        w.AltComListBox->setCurrentIndex(0);

        ports.add(1);
        QTRY_COMPARE(Items(w.ComPortListBox), QStringList({"COM1", "COM3", "COM5"}));
        QCOMPARE(w.ComPortListBox->currentText(), QStringLiteral("COM5"));
        QCOMPARE(Items(w.AltComListBox), QStringList({"COM1", "COM3"}));
        QCOMPARE(w.AltComListBox->currentText(), QStringLiteral("COM3"));
        QCOMPARE(w.ComPortListBox->itemData(0, Qt::ToolTipRole).toString(), ports.device(1).slavePath());

        // The chosen port goes: the first one listed is chosen, as at start-up.
        ports.remove(5);
        QTRY_COMPARE(Items(w.ComPortListBox), QStringList({"COM1", "COM3"}));
        QCOMPARE(w.ComPortListBox->currentText(), QStringLiteral("COM1"));
        QCOMPARE(Items(w.AltComListBox), QStringList({"COM3"}));
        QCOMPARE(w.AltComListBox->currentText(), QStringLiteral("COM3"));

        // Nothing changes while a port is open; Disc. catches up.
        w.COMInitButton_Click();
        QVERIFY(w.PortIsOpen);
        ports.add(7);
        QTest::qWait(600);
        QCOMPARE(Items(w.ComPortListBox), QStringList({"COM1", "COM3"}));
        w.COMInitButton_Click();
        QCOMPARE(Items(w.ComPortListBox), QStringList({"COM1", "COM3", "COM7"}));
    }

    void controlBytesDrawnDistinctly()
    {
        const QByteArray controls("\x00\x07\x09\x1B\x7F\x81", 6);
        ReceivedTexts rx;
        rx.Append(controls + "A\xE9", 0, false, 0);
        ReceiveView view;
        view.resize(300, 80);
        view.Show(rx.Text(ReceivedTexts::Chr));
        // Only the drawing differs: the text is the bytes.
        QCOMPARE(view.Text(), controls + "A\xE9");
        QCOMPARE(view.TextLength(), 8);
        const QImage image = view.viewport()->grab().toImage();
        const qreal width = QFontMetricsF(view.font()).horizontalAdvance(QLatin1Char('M'));
        const QColor base = view.palette().color(QPalette::Base);
        QList<QImage> cells;
        for (int column = 0; column < controls.size(); ++column) {
            const QImage cell = image.copy(int(column * width), 0, int(width), view.fontMetrics().height());
            bool inked = false;
            for (int y = 0; y < cell.height() && !inked; ++y)
                for (int x = 0; x < cell.width() && !inked; ++x)
                    inked = cell.pixelColor(x, y) != base;
            QVERIFY2(inked, qPrintable(QString::number(uchar(controls[column]), 16)));
            QVERIFY2(!cells.contains(cell), qPrintable(QString::number(uchar(controls[column]), 16)));
            cells << cell;
        }
        QCOMPARE(shownchars::ShownCharacter(0x1B), u'\u241B');
        QCOMPARE(shownchars::ShownCharacter(0x7F), u'\u2421');
        QCOMPARE(shownchars::ShownCharacter(0x80), u'\u20AC');
        QCOMPARE(shownchars::ShownCharacter(0xE9), u'\u00E9');
    }

    void findBarSelectsMatches()
    {
        MessageRecorder messages;
        frmMain w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.RX.Append("OK\r\nOK\r\n", 4, false, 1234);
        w.OutCombo->setCurrentIndex(ReceivedTexts::Hex);
        const int height = w.RXOut->height();
        QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(w.FindBox->isVisible());
        QVERIFY(w.RXOut->height() < height);

        w.FindBox->HexBytes->setChecked(true);
        w.FindBox->Pattern->setText(QStringLiteral("0d 0a"));
        QTest::keyClick(w.FindBox->Pattern, Qt::Key_Return);
        QCOMPARE(w.RXOut->SelectedText(), QByteArray("0D 0A"));
        const qsizetype first = w.RXOut->AnchorPosition();
        QVERIFY(!w.RXOut->Following());
        // After the second match the search goes round.
        QTest::keyClick(w.FindBox->Pattern, Qt::Key_Return);
        QVERIFY(w.RXOut->AnchorPosition() > first);
        QTest::keyClick(w.FindBox->Pattern, Qt::Key_Return);
        QCOMPARE(w.RXOut->AnchorPosition(), first);
        QTest::keyClick(w.FindBox->Pattern, Qt::Key_Return, Qt::ShiftModifier);
        QVERIFY(w.RXOut->AnchorPosition() > first);

        w.FindBox->Pattern->setText(QStringLiteral("0D 0"));
        QVERIFY(!w.FindBox->Find(false));
        QVERIFY(!w.FindBox->Status->text().isEmpty());

        QTest::keyClick(w.FindBox->Pattern, Qt::Key_Escape);
        QVERIFY(w.FindBox->isHidden());
        QCOMPARE(w.RXOut->height(), height);
    }
};

QTEST_MAIN(tst_room)
#include "tst_room.moc"
