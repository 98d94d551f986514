#include "app/frmMain.h"
#include "support/MessageRecorder.h"
#include "transmit/SendHistory.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {
constexpr int Hex = 0, Char = 3;
const QString HexDigits = QStringLiteral("Use only HEX digits (0...9, a...f).");
const QString EvenDigits = QStringLiteral("You must enter an even number of hex digits.");
}

class tst_SendWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sendEmptiesAndFocusesTheBox();
    void spacesOnlyDoesNothing();
    void refusalFocus_data();
    void refusalFocus();
    void resetIsNotStoredWithX10();
    void lowerCaseResetIsOrdinaryText();
    void crAndLfOnlyForChar();
    void historyWrapsAfter99();
    void refusedTextIsRecallable();
    void upUpDownDownAfterThreeSends();
    void firstRecallBeforeAnySend_data();
    void firstRecallBeforeAnySend();
    void recalledTextSentAgainIsNewEntry();
    void heldUpRecallsOnce();
    void enterWhileArrowHeldSendsNothing();
    void otherKeyWhileArrowHeldKeepsCaret();

private:
    void send(const QString& text);
    void press(int key, bool repeat = false);
    void release(int key, bool repeat = false);
    QLineEdit* box() const { return window->SendData; }

    std::unique_ptr<MessageRecorder> messages;
    std::unique_ptr<frmMain> window;
};

void tst_SendWindow::init()
{
    modZEMO::SendHistory = {};
    messages = std::make_unique<MessageRecorder>();
    window = std::make_unique<frmMain>();
    window->SendData->setEnabled(true);
    window->SendButton->setEnabled(true);
    window->TXDataTypeListBox->setCurrentIndex(Hex);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void tst_SendWindow::cleanup()
{
    window.reset();
    messages.reset();
}

void tst_SendWindow::send(const QString& text)
{
    box()->setText(text);
    QTest::keyClick(box(), Qt::Key_Return);
}

void tst_SendWindow::press(int key, bool repeat)
{
    QTest::simulateEvent(box(), true, key, Qt::NoModifier, QString(), repeat);
}

void tst_SendWindow::release(int key, bool repeat)
{
    QTest::simulateEvent(box(), false, key, Qt::NoModifier, QString(), repeat);
}

void tst_SendWindow::sendEmptiesAndFocusesTheBox()
{
    window->SendButton->setFocus();
    box()->setText("  4142  ");
    window->SendButton_Click();
    QVERIFY(box()->text().isEmpty());
    QTRY_VERIFY(box()->hasFocus());
    QCOMPARE(window->SendKeys.HistoryIndex(), 1);
    QCOMPARE(modZEMO::SendHistory.Recall(1), QString("4142"));
}

void tst_SendWindow::spacesOnlyDoesNothing()
{
    send("   ");
    QCOMPARE(box()->text(), QString("   "));
    QCOMPARE(window->SendKeys.HistoryIndex(), 0);
    QVERIFY(messages->messages().isEmpty());
}

void tst_SendWindow::refusalFocus_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("focusSendData");

    QTest::newRow("not hex") << "zz" << HexDigits << true;
    QTest::newRow("odd digits") << "ABC" << EvenDigits << false;
}

void tst_SendWindow::refusalFocus()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(bool, focusSendData);

    window->SendButton->setFocus();
    QTRY_VERIFY(window->SendButton->hasFocus());
    box()->setText(typed);
    window->SendButton_Click();

    QCOMPARE(messages->messages().size(), 1);
    QCOMPARE(messages->messages().first().text, message);
    QCOMPARE(messages->messages().first().style, 64);
    QCOMPARE(messages->messages().first().title, QString("Brackwell"));
    QCOMPARE(box()->text(), typed);
    QCOMPARE(box()->hasFocus(), focusSendData);
    QCOMPARE(window->SendButton->hasFocus(), !focusSendData);
}

void tst_SendWindow::resetIsNotStoredWithX10()
{
    window->ITypeListBox->setCurrentIndex(frmMain::CM12X10);
    send(" RESET ");
    QCOMPARE(box()->text(), QString(" RESET "));
    QCOMPARE(window->SendKeys.HistoryIndex(), 0);
    QVERIFY(!messages->texts().contains(HexDigits));
}

void tst_SendWindow::lowerCaseResetIsOrdinaryText()
{
    window->ITypeListBox->setCurrentIndex(frmMain::CM12X10);
    send("reset");
    QCOMPARE(messages->texts(), QStringList{HexDigits});
    QCOMPARE(window->SendKeys.HistoryIndex(), 1);
    QCOMPARE(box()->text(), QString("reset"));
}

void tst_SendWindow::crAndLfOnlyForChar()
{
    window->TXDataTypeListBox->setCurrentIndex(Char);
    QVERIFY(window->CRCheckbox->isEnabled());
    window->CRCheckbox->setChecked(true);
    window->LFCheckbox->setChecked(true);

    window->TXDataTypeListBox->setCurrentIndex(Hex);
    QVERIFY(!window->CRCheckbox->isEnabled());
    QVERIFY(!window->LFCheckbox->isEnabled());
    QVERIFY(!window->CRCheckbox->isChecked());
    QVERIFY(!window->LFCheckbox->isChecked());

    window->TXDataTypeListBox->setCurrentIndex(Char);
    QVERIFY(window->CRCheckbox->isEnabled());
    QVERIFY(window->LFCheckbox->isEnabled());
    QVERIFY(!window->CRCheckbox->isChecked());
}

void tst_SendWindow::historyWrapsAfter99()
{
    for (int i = 1; i <= 100; ++i)
        send(QString::asprintf("%02X", i));
    QCOMPARE(window->SendKeys.HistoryIndex(), 1);
    QCOMPARE(window->SendKeys.RecallIndex(), 2);
    QCOMPARE(modZEMO::SendHistory.Recall(1), QString("64"));
    QCOMPARE(modZEMO::SendHistory.Recall(99), QString("63"));
}

void tst_SendWindow::refusedTextIsRecallable()
{
    send("zz");
    box()->clear();
    press(Qt::Key_Up);
    QCOMPARE(box()->text(), QString("zz"));
}

void tst_SendWindow::upUpDownDownAfterThreeSends()
{
    send("41");
    send("42");
    send("43");
    const struct {
        int key;
        const char* shown;
    } steps[] = {{Qt::Key_Up, "43"}, {Qt::Key_Up, "42"}, {Qt::Key_Down, "43"}, {Qt::Key_Down, ""}};
    for (const auto& step : steps) {
        press(step.key);
        QCOMPARE(box()->text(), QString(step.shown));
        release(step.key);
    }
    QCOMPARE(window->SendKeys.RecallIndex(), 4);
}

void tst_SendWindow::firstRecallBeforeAnySend_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("recallIndex");
    QTest::newRow("up") << int(Qt::Key_Up) << 99;
    QTest::newRow("down") << int(Qt::Key_Down) << 1;
}

void tst_SendWindow::firstRecallBeforeAnySend()
{
    QFETCH(int, key);
    QFETCH(int, recallIndex);
    box()->setText("typed");
    press(key);
    QCOMPARE(window->SendKeys.RecallIndex(), recallIndex);
    QCOMPARE(box()->text(), QString());
}

void tst_SendWindow::recalledTextSentAgainIsNewEntry()
{
    send("41");
    send("42");
    press(Qt::Key_Up);
    release(Qt::Key_Up);
    press(Qt::Key_Up);
    release(Qt::Key_Up);
    QCOMPARE(box()->text(), QString("41"));
    QTest::keyClick(box(), Qt::Key_Return);
    QCOMPARE(window->SendKeys.HistoryIndex(), 3);
    QCOMPARE(modZEMO::SendHistory.Recall(3), QString("41"));
    QCOMPARE(modZEMO::SendHistory.Recall(1), QString("41"));
    QCOMPARE(modZEMO::SendHistory.Recall(2), QString("42"));
}

void tst_SendWindow::heldUpRecallsOnce()
{
    send("41");
    send("4243");
    press(Qt::Key_Up);
    // Auto-repeat as the window system reports it: release and press pairs, both flagged.
    for (int i = 0; i < 10; ++i) {
        release(Qt::Key_Up, true);
        press(Qt::Key_Up, true);
    }
    QCOMPARE(window->SendKeys.RecallIndex(), 2);
    QCOMPARE(box()->text(), QString("4243"));
    QVERIFY(window->SendKeys.RecallKeyHeld());

    box()->setCursorPosition(0);
    release(Qt::Key_Up);
    QCOMPARE(box()->cursorPosition(), 4);
    QVERIFY(!window->SendKeys.RecallKeyHeld());
}

void tst_SendWindow::enterWhileArrowHeldSendsNothing()
{
    send("41");
    press(Qt::Key_Up);
    QCOMPARE(box()->text(), QString("41"));
    press(Qt::Key_Return);
    release(Qt::Key_Return, true);
    QCOMPARE(window->SendKeys.HistoryIndex(), 1);
    QCOMPARE(box()->text(), QString("41"));
}

void tst_SendWindow::otherKeyWhileArrowHeldKeepsCaret()
{
    send("41");
    send("4243");
    press(Qt::Key_Up);
    QCOMPARE(box()->text(), QString("4243"));

    press(Qt::Key_Home);
    QCOMPARE(box()->cursorPosition(), 0);
    release(Qt::Key_Home);
    QVERIFY(!window->SendKeys.RecallKeyHeld());
    QCOMPARE(box()->cursorPosition(), 0);

    release(Qt::Key_Up);
    QCOMPARE(box()->cursorPosition(), 0);
    press(Qt::Key_Up);
    QCOMPARE(box()->text(), QString("41"));
}

QTEST_MAIN(tst_SendWindow)
#include "tst_SendWindow.moc"
