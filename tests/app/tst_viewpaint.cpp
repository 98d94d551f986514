#include "app/frmMain.h"
#include "monitor/ReceiveView.h"

#include <QComboBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

// The box paints at most once a frame and moves rows already drawn, and its
// scroll bars catch up a little later: what reaches the screen must equal a
// fresh drawing of the same text.
class tst_viewpaint : public QObject {
    Q_OBJECT

private slots:
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
            QByteArray data;
            for (int i = 0; i < bytesPerTick; ++i)
                data.append(char('A' + (tick * bytesPerTick + i) % 26));
            w.RX.Append(data, bytesPerLine, false, tick++);
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

QTEST_MAIN(tst_viewpaint)
#include "tst_viewpaint.moc"
