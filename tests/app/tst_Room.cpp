#include "monitor/ReceivedTexts.h"
#include "monitor/ShownCharacters.h"
#include "support/window/TestWindow.h"

#include <QDir>
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

class tst_Room : public QObject {
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
        TestWindow w({1, 2});
        frmMain& window = w.window;
        if (sideBySide) // Transparent puts the boxes side by side
            QVERIFY(Connect(w, "Transparent"));
        window.show();
        const QString artifacts = qEnvironmentVariable("WENDALE_ARTIFACT_DIR", QStringLiteral("."));
        if (!sideBySide) // for a look at build/artifacts
            QVERIFY(QDir().mkpath(artifacts) && window.grab().save(artifacts + "/window.png"));
        const QSize first = window.size();
        QVERIFY(window.centralWidget()->size() == QSize(454, 400) && window.minimumSize() == first);
        const QMap<QString, QRect> before = Places(window);
        QVERIFY(!window.windowIcon().isNull());
        for (const QComboBox* list : window.findChildren<QComboBox*>()) // only a speed may be typed
            QVERIFY2(list->isEditable() == (list->objectName() == "SpeedListBox"), qPrintable(list->objectName()));

        window.resize(first + extra);
        QTRY_COMPARE(window.centralWidget()->size(), QSize(454, 400) + extra);
        for (const char* above : {"Frame1", "SendFrame", "ITypeListBox", "COMInitButton", "Label11", "OutLabel",
                                  "Out1Label"})
            QCOMPARE(window.findChild<QWidget*>(above)->geometry(), before[above]);
        QWidget* frame = w.Find<QWidget>("Frame2");
        QCOMPARE(frame->geometry(), before["Frame2"].adjusted(0, 0, extra.width(), extra.height()));
        for (const char* under : {"ClearButton", "OutCombo", "RXBitsNrListBox", "Label7", "Label10"})
            QCOMPARE(window.findChild<QWidget*>(under)->geometry(), before[under].translated(0, extra.height()));
        // The boxes take the room: side by side they share it and keep their gap.
        const QRect one = w.Box("RXOut")->geometry();
        const QRect two = w.Box("RX2Out")->geometry();
        QCOMPARE(QPair(one.height(), two.height()), QPair(before["RXOut"].height() + extra.height(), one.height()));
        QCOMPARE(two.right(), before["RX2Out"].right() + extra.width());
        if (sideBySide) {
            QCOMPARE(two.left() - one.right(), before["RX2Out"].left() - before["RXOut"].right());
            QVERIFY(std::abs(one.width() - two.width()) <= 1);
        } else {
            QCOMPARE(one.width(), before["RXOut"].width() + extra.width());
            QVERIFY(one.contains(two)); // so RXOut must lie above RX2Out
            QVERIFY(frame->children().indexOf(w.Box("RXOut")) > frame->children().indexOf(w.Box("RX2Out")));
        }

        window.resize(first);
        QTRY_COMPARE(window.centralWidget()->size(), QSize(454, 400));
        QCOMPARE(Places(window), before);
    }

    void followsOnlyAtTheEnd()
    {
        TestWindow w({1});
        PtyPair& device = w.ports.Device(1);
        QVERIFY(Choose(w.List("OutCombo"), "Hex") && Choose(w.List("RXBitsNrListBox"), "16"));
        QVERIFY(Connect(w, "Generic"));
        QTimer streaming;
        connect(&streaming, &QTimer::timeout, [&] { device.Send(QByteArray(48, 'x')); });
        streaming.start(10);
        ReceiveView* box = w.Box("RXOut");
        QScrollBar* bar = box->verticalScrollBar();
        // Where the view is once the text has grown.
        const auto grown = [box, bar] {
            const qsizetype size = box->TextLength();
            return QTest::qWaitFor([&] { return box->TextLength() > size + 2000; }) ? bar->value() : -1;
        };
        const auto followed = [&grown, bar] { const int at = grown(); return at == bar->maximum(); };
        const auto selection = [box] { return QPair(box->AnchorPosition(), box->CaretPosition()); };

        QTRY_VERIFY(bar->maximum() > 40);
        QVERIFY(followed());
        QCOMPARE(box->CaretPosition(), box->TextLength());
        // Scrolled back, or with a selection, the view stays while the text grows.
        bar->setValue(bar->maximum() - 30);
        const int kept = bar->value();
        QCOMPARE(grown(), kept);
        QVERIFY(bar->maximum() > kept + 30);
        box->Select(100, 160);
        const int shown = bar->value();
        QCOMPARE(grown(), shown);
        QCOMPARE(selection(), (QPair<qsizetype, qsizetype>(100, 160)));
        // It follows again by the scroll bar (the selection kept), End after Select All, or Ctrl+End.
        bar->setValue(bar->maximum());
        QVERIFY(followed());
        QCOMPARE(selection(), (QPair<qsizetype, qsizetype>(100, 160)));
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(!followed());
        QTest::keyClick(box, Qt::Key_End, Qt::ShiftModifier | Qt::ControlModifier);
        QVERIFY(followed());
        QCOMPARE(box->AnchorPosition(), 0);
        bar->setValue(0);
        QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(followed());
        QCOMPARE(box->CaretPosition(), box->TextLength());

        streaming.stop();
        QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
    }

    void controlBytesDrawnDistinctly()
    {
        const QByteArray controls("\x00\x07\x09\x1B\x7F\x81", 6);
        ReceivedTexts rx;
        rx.Append(controls + "A\xE9", 0, false, 0);
        ReceiveView view;
        view.resize(300, 80);
        view.Show(rx.Text(ReceivedTexts::Chr));
        QVERIFY(view.Text() == controls + "A\xE9" && view.TextLength() == 8);
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
        QCOMPARE(QString(shownchars::ShownCharacter(0x80)) + shownchars::ShownCharacter(0xE9), u"\u20AC\u00E9");
    }

    void findBarSelectsMatches()
    {
        TestWindow w({1});
        ReceiveView* box = w.Box("RXOut");
        QVERIFY(Choose(w.List("OutCombo"), "Hex") && Choose(w.List("RXBitsNrListBox"), "4"));
        QVERIFY(Connect(w, "Generic"));
        w.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        QVERIFY(w.ports.Device(1).Send("OK\r\nOK\r\n"));
        QTRY_COMPARE(box->Text().count("0D 0A"), 2);
        const int height = box->height();
        QTest::keyClick(&w.window, Qt::Key_F, Qt::ControlModifier);
        QLineEdit* pattern = w.Edit("FindPattern");
        QVERIFY(w.Find<QWidget>("FindBox")->isVisible() && box->height() < height);

        QTest::mouseClick(w.Check("FindHexBytes"), Qt::LeftButton);
        pattern->setText(QStringLiteral("0d 0a"));
        QTest::keyClick(pattern, Qt::Key_Return);
        QVERIFY(box->SelectedText() == "0D 0A" && !box->Following());
        const qsizetype first = box->AnchorPosition();
        QTest::keyClick(pattern, Qt::Key_Return); // the second match, then round again
        QVERIFY(box->AnchorPosition() > first);
        QTest::keyClick(pattern, Qt::Key_Return);
        QCOMPARE(box->AnchorPosition(), first);
        QTest::keyClick(pattern, Qt::Key_Return, Qt::ShiftModifier);
        QVERIFY(box->AnchorPosition() > first);

        pattern->setText(QStringLiteral("0D 0")); // half a byte: the bar says so
        QTest::keyClick(pattern, Qt::Key_Return);
        QVERIFY(!w.Label("FindStatus")->text().isEmpty());

        QTest::keyClick(pattern, Qt::Key_Escape);
        QVERIFY(w.Find<QWidget>("FindBox")->isHidden() && box->height() == height);
    }

    // The box paints at most once a frame and moves rows already drawn: the screen must equal a fresh drawing.
    void streamingShowsWhatAFreshDrawingShows_data()
    {
        QTest::addColumn<QString>("notation");
        QTest::addColumn<QString>("bytesPerLine");
        QTest::addColumn<int>("bytesPerTick");
        QTest::newRow("Hex, 16 a line, lines pushing the view up") << "Hex" << "16" << 37;
        QTest::newRow("Chr, no limit, one line growing") << "Chr" << "0" << 3;
        QTest::newRow("Bin, 1 a line, more lines a tick than the box shows") << "Bin" << "1" << 40;
    }
    void streamingShowsWhatAFreshDrawingShows()
    {
        QFETCH(QString, notation);
        QFETCH(QString, bytesPerLine);
        QFETCH(int, bytesPerTick);
        TestWindow w({1});
        frmMain& window = w.window;
        QVERIFY(Choose(w.List("OutCombo"), notation) && Choose(w.List("RXBitsNrListBox"), bytesPerLine));
        QVERIFY(Connect(w, "Generic") && QTest::qWaitForWindowExposed(&window));
        int tick = 0;
        QTimer feed;
        QObject::connect(&feed, &QTimer::timeout, [&] { w.ports.Device(1).Send(QByteArray(bytesPerTick, char('A' + tick++ % 26))); });
        feed.start(10);
        QTest::qWait(700);
        feed.stop();
        QTest::qWait(250);
        QWidget* area = w.Box("RXOut");
        const QImage drawn = area->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint at = area->mapTo(&window, QPoint(0, 0));
        const QPixmap screen = window.screen()->grabWindow(window.winId(), at.x(), at.y(), drawn.width(), drawn.height());
        const QImage shown = screen.toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(tick > 20);
        QCOMPARE(shown, drawn);
    }
};

QTEST_MAIN(tst_Room)
#include "tst_Room.moc"
