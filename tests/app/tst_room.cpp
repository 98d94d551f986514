#include "app/monitor/FindBar.h"
#include "monitor/ShownCharacters.h"
#include "support/window/TestWindow.h"

#include <QDir>
#include <QGroupBox>
#include <QScreen>
#include <QScrollBar>

namespace {

QMap<QString, QRect> Places(const QWidget& window)
{
    QMap<QString, QRect> places;
    for (const QWidget* w : window.findChildren<QWidget*>())
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
            places[w->objectName()] = w->geometry();
    return places;
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
        const QString artifacts = qEnvironmentVariable("WENDALE_ARTIFACT_DIR", QStringLiteral("."));
        if (!sideBySide) // for a look at build/artifacts
            QVERIFY(QDir().mkpath(artifacts) && w.grab().save(artifacts + "/window.png"));
        const QSize first = w.size();
        QCOMPARE(w.centralWidget()->size(), QSize(454, 400));
        QCOMPARE(w.minimumSize(), first);
        const QMap<QString, QRect> before = Places(w);
        QVERIFY(!w.windowIcon().isNull());
        for (const QComboBox* list : w.findChildren<QComboBox*>())
            QVERIFY2(!list->isEditable(), qPrintable(list->objectName()));

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
            // RXOut covers RX2Out, so it must lie above it.
            QVERIFY(one.contains(two));
            QVERIFY(w.Frame2->children().indexOf(w.RXOut) > w.Frame2->children().indexOf(w.RX2Out));
        }

        w.resize(first);
        QTRY_COMPARE(w.centralWidget()->size(), QSize(454, 400));
        QCOMPARE(Places(w), before);
    }

    void followsOnlyAtTheEnd()
    {
        TestWindow w({1});
        PtyPair& device = w.ports.device(1);
        w.show();
        w.OutCombo->setCurrentIndex(ReceivedTexts::Hex);
        w.RXBitsNrListBox->setCurrentIndex(16);
        w.COMInitButton_Click();
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

        streaming.stop();
        w.COMInitButton_Click();
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
        QImage blank(int(width), view.fontMetrics().height(), image.format());
        blank.fill(view.palette().color(QPalette::Base));
        QList<QImage> cells{blank}; // each picture inked, and unlike the others
        for (int column = 0; column < controls.size(); ++column) {
            const QImage cell = image.copy(int(column * width), 0, blank.width(), blank.height());
            QVERIFY2(!cells.contains(cell), qPrintable(QString::number(uchar(controls[column]), 16)));
            cells << cell;
        }
        QCOMPARE(shownchars::ShownCharacter(0x80), u'\u20AC');
        QCOMPARE(shownchars::ShownCharacter(0xE9), u'\u00E9');
    }

    void findBarSelectsMatches()
    {
        TestWindow w;
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

    // The box paints at most once a frame and moves rows already drawn, and
    // its scroll bars catch up a little later: what reaches the screen must
    // equal a fresh drawing of the same text.
    void streamingShowsWhatAFreshDrawingShows_data()
    {
        QTest::addColumn<int>("notation");
        QTest::addColumn<int>("bytesPerLine");
        QTest::addColumn<int>("bytesPerTick");
        QTest::newRow("Hex, 16 a line, lines pushing the view up") << int(lists::Hex) << 16 << 37;
        QTest::newRow("Chr, no limit, one line growing") << int(lists::Chr) << 0 << 3;
        QTest::newRow("Bin, 1 a line, more lines a tick than the box shows") << int(lists::Bin) << 1 << 40;
    }

    void streamingShowsWhatAFreshDrawingShows()
    {
        QFETCH(int, notation);
        QFETCH(int, bytesPerLine);
        QFETCH(int, bytesPerTick);
        frmMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        frmMain::SelectItem(w.OutCombo, notation);
        frmMain::SelectItem(w.RXBitsNrListBox, bytesPerLine);
        int tick = 0;
        QTimer feed;
        QObject::connect(&feed, &QTimer::timeout, [&] {
            w.RX.Append(QByteArray(bytesPerTick, char('A' + tick % 26)), bytesPerLine, false, tick);
            ++tick;
            w.RXOut->ShowGrown(w.RX.Text(notation));
        });
        feed.start(10);
        QTest::qWait(700);
        feed.stop();
        QTest::qWait(250);
        QWidget* area = w.RXOut;
        const QImage drawn = area->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint at = area->mapTo(&w, QPoint(0, 0));
        const QImage shown = w.screen()
                                 ->grabWindow(w.winId(), at.x(), at.y(), drawn.width(), drawn.height())
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        QVERIFY(tick > 20);
        QCOMPARE(shown, drawn);
    }
};

QTEST_MAIN(tst_room)
#include "tst_room.moc"
