#include "app/monitor/ReceiveView.h"
#include "monitor/ReceivedTexts.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

class tst_ReceiveView : public QObject {
    Q_OBJECT

private slots:
    // Every byte in each notation (3: no text), then a line written into the box: copied between any two ends.
    void copiesWhatIsSelected_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("caret");
        QTest::newRow("Chr within a line") << 2 << 2 << 5;
        QTest::newRow("Chr backwards over lines") << 2 << 40 << 3;
        QTest::newRow("Chr control bytes") << 2 << 0 << 300;
        QTest::newRow("Bin into the written line") << 0 << 2000 << 99999;
        QTest::newRow("Hex, all") << 1 << 0 << 99999;
        QTest::newRow("no text, the written line") << 3 << 1 << 99999;
    }
    void copiesWhatIsSelected()
    {
        QFETCH(int, format);
        QFETCH(int, anchor);
        QFETCH(int, caret);
        QByteArray bytes("A\0B\r\n", 5);
        for (int code = 0; code < 256; ++code)
            bytes += char(code);
        ReceivedTexts rx;
        rx.Append(bytes + "\r\nOK", 16, true, 1234);
        ReceiveView view;
        view.resize(300, 120);
        view.Show(rx.Text(format));
        const QByteArray line = "\r\nCM11/12 interface reset OK.";
        view.AppendLocalText(line);
        const QByteArray shown = (format < 3 ? rx.Text(format)->Whole() : QByteArray()) + line;
        QVERIFY(view.Text() == shown && view.CaretPosition() == shown.size() && !view.grab().isNull());
        view.Select(anchor, caret);
        view.Copy();
        const qsizetype from = std::min<qsizetype>(std::min(anchor, caret), shown.size());
        const qsizetype to = std::min<qsizetype>(std::max(anchor, caret), shown.size());
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromLatin1(shown.mid(from, to - from)));
    }

    void longLineScrollsToItsLastColumn()
    {
        ReceivedTexts text;
        text.Append(QByteArray(5'000'000, 'x') + "END", 0, false, 0);
        ReceiveView view;
        view.resize(200, 100);
        view.Show(text.Text(ReceivedTexts::Chr));
        QScrollBar* horizontal = view.horizontalScrollBar();
        QCOMPARE(horizontal->value(), horizontal->maximum());
        QVERIFY(horizontal->maximum() + horizontal->pageStep() >= 5'000'003 && !view.grab().isNull());
        QTest::keyClick(&view, Qt::Key_Home);
        QCOMPARE(horizontal->value(), 0);
        QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(view.SelectedText().size(), 5'000'003);
    }

    void keyboardMouseAndMenuSelection()
    {
        ReceivedTexts text;
        text.Append("first line\r\nsecond\r\nthird line", 0, false, 0);
        ReceiveView view;
        view.resize(400, 200);
        view.Show(text.Text(ReceivedTexts::Chr));
        QVERIFY(!view.CreateContextMenu()->actions().at(0)->isEnabled()); // nothing to copy yet
        QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(view.SelectedText(), QByteArray("first line\r\nsecond\r\n"));
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("first line\r\nsecond\r\n"));

        // From the second line's column 2 to the third's column 5.
        const QFontMetricsF metrics(view.font());
        const qreal column = metrics.horizontalAdvance(QLatin1Char('M'));
        const int row = int(std::ceil(metrics.lineSpacing()));
        QWidget* viewport = view.viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(int(2 * column), row + row / 2));
        const QPointF to(5 * column, 2 * row + row / 2);
        QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QCOMPARE(view.SelectedText(), QByteArray("cond\r\nthird"));

        const auto menu = view.CreateContextMenu();
        QCOMPARE(menu->actions().size(), 2);
        menu->actions().at(1)->trigger(); // Select All, then Copy
        view.CreateContextMenu()->actions().at(0)->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("first line\r\nsecond\r\nthird line"));
    }
};

QTEST_MAIN(tst_ReceiveView)
#include "tst_ReceiveView.moc"
