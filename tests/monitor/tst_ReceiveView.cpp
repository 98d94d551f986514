#include "monitor/ReceiveView.h"
#include "monitor/ReceivedTexts.h"
#include "monitor/TickCounter.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

namespace {

QByteArray EveryByte()
{
    QByteArray bytes;
    for (int code = 0; code < 256; ++code)
        bytes += char(code);
    return bytes;
}

}

class tst_ReceiveView : public QObject {
    Q_OBJECT

private slots:
    void showsEveryByteInEachNotation()
    {
        ReceivedTexts rx;
        rx.Append(EveryByte() + "\r\nOK", 16, true, 1234);
        ReceiveView view;
        view.resize(300, 120);
        for (const int format : {2, 0, 1, 2, 0}) {
            view.Show(rx.Text(format));
            QCOMPARE(view.Text(), rx.Text(format)->Whole());
            QVERIFY(!view.grab().isNull());
        }
    }

    void endAfterUpdate_data()
    {
        QTest::addColumn<bool>("grown");
        QTest::newRow("shown again") << false;
        QTest::newRow("grown") << true;
    }

    void endAfterUpdate()
    {
        QFETCH(bool, grown);
        ReceivedTexts rx;
        ReceiveView view;
        view.resize(200, 100);
        for (int tick = 0; tick < 50; ++tick) {
            rx.Append("0123456789", 4, false, 1234);
            grown ? view.ShowGrown(rx.Text(1)) : view.Show(rx.Text(1));
            QCOMPARE(view.CaretPosition(), rx.Text(1)->Size());
        }
        // A grown text is followed in the next frame.
        const QScrollBar* vertical = view.verticalScrollBar();
        QTRY_VERIFY(vertical->maximum() > 0 && vertical->value() == vertical->maximum());
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
        QVERIFY(horizontal->maximum() + horizontal->pageStep() >= 5'000'003);
        QVERIFY(!view.grab().isNull());
        QTest::keyClick(&view, Qt::Key_Home);
        QCOMPARE(horizontal->value(), 0);
        QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(view.SelectedText().size(), 5'000'003);
    }

    void copiedSelectionIsTheTextBetweenItsEnds_data()
    {
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("caret");
        QTest::newRow("within a line") << 2 << 5;
        QTest::newRow("backwards over lines") << 40 << 3;
        QTest::newRow("control bytes") << 0 << 300;
    }

    void copiedSelectionIsTheTextBetweenItsEnds()
    {
        QFETCH(int, anchor);
        QFETCH(int, caret);
        ReceivedTexts rx;
        rx.Append(QByteArray("A\0B\r\nC", 6) + EveryByte(), 8, false, 1234);
        ReceiveView view;
        view.Show(rx.Text(2));
        view.Select(anchor, caret);
        view.Copy();
        const QByteArray expected = rx.Text(2)->Whole().mid(std::min(anchor, caret), std::abs(caret - anchor));
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromLatin1(expected));
    }

    void keyboardAndMouseSelection()
    {
        ReceivedTexts text;
        text.Append("first line\r\nsecond\r\nthird line", 0, false, 0);
        ReceiveView view;
        view.resize(400, 200);
        view.Show(text.Text(ReceivedTexts::Chr));
        QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
        QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(view.SelectedText(), QByteArray("first line\r\ns"));
        QTest::keyClick(&view, Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(view.SelectedText(), QByteArray("first line\r\nsecond\r\n"));
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("first line\r\nsecond\r\n"));

        // Press on the second line at column 2, drag to the third at column 5.
        const QFontMetricsF metrics(view.font());
        const qreal column = metrics.horizontalAdvance(QLatin1Char('M'));
        const int row = int(std::ceil(metrics.lineSpacing()));
        QWidget* viewport = view.viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(int(2 * column), row + row / 2));
        QMouseEvent move(QEvent::MouseMove, QPointF(5 * column, 2 * row + row / 2), viewport->mapToGlobal(QPointF(5 * column, 2 * row + row / 2)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QCOMPARE(view.SelectedText(), QByteArray("cond\r\nthird"));
    }

    void contextMenuCopiesAndSelectsAll()
    {
        ReceivedTexts text;
        text.Append("abc\r\ndef", 0, false, 0);
        ReceiveView view;
        view.Show(text.Text(ReceivedTexts::Chr));
        auto menu = view.CreateContextMenu();
        const QList<QAction*> actions = menu->actions();
        QCOMPARE(actions.size(), 2);
        QCOMPARE(actions[0]->text(), QStringLiteral("&Copy"));
        QVERIFY(!actions[0]->isEnabled());
        actions[1]->trigger();
        QCOMPARE(view.SelectedText(), QByteArray("abc\r\ndef"));
        view.CreateContextMenu()->actions()[0]->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("abc\r\ndef"));
    }

    void localTextStaysUntilRewrite()
    {
        ReceivedTexts rx;
        rx.Append("41", 1, false, 1234);
        ReceiveView view;
        view.Show(rx.Text(1));
        const QByteArray line = "\r\nCM11/12 interface reset OK.";
        view.AppendLocalText(line);
        QCOMPARE(view.Text(), rx.Text(1)->Whole() + line);
        QCOMPARE(view.CaretPosition(), view.TextLength());
        view.SelectAll();
        QCOMPARE(view.SelectedText(), view.Text());
        QVERIFY(!view.grab().isNull());
        view.Show(rx.Text(1));
        QCOMPARE(view.Text(), rx.Text(1)->Whole());
    }

    void emptyBox()
    {
        ReceiveView view;
        view.Show(nullptr);
        QCOMPARE(view.Text(), QByteArray());
        view.AppendLocalText("x");
        QCOMPARE(view.Text(), QByteArray("x"));
        QTest::keyClick(&view, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(view.SelectedText(), QByteArray("x"));
    }
};

QTEST_MAIN(tst_ReceiveView)
#include "tst_ReceiveView.moc"
