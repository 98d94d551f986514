#include "app/FileDialog.h"
#include "support/window/TestWindow.h"
#include "transmit/Answers.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <functional>

namespace {

// Fills the next modal dialog as a user does, field by field, then presses OK.
void WhenDialogOpens(const QList<std::pair<QString, QVariant>>& fields)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, fields] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        poll->deleteLater();
        poll->stop();
        // What a user changes in each: a box's value, an edit's text, a list's entry, a tick.
        for (const auto& [name, value] : fields) {
            QWidget* field = dialog->findChild<QWidget*>(name);
            field->metaObject()->userProperty().write(field, value);
        }
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    poll->start(5);
}

// What the device reads while the window runs, until done says so or 30 s
// pass; meanwhile runs at every look.
QByteArray ReadWhileRunning(PtyPair& device, const std::function<bool(const QByteArray&)>& done,
                            const std::function<void(const QByteArray& fresh)>& meanwhile = {})
{
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    while (!done(got) && clock.elapsed() < 30000) {
        QTest::qWait(2);
        const QByteArray fresh = device.ReceiveAvailable();
        got += fresh;
        if (meanwhile)
            meanwhile(fresh);
    }
    return got;
}

// A file of size bytes of every value, its name answered to the file dialog.
QString OfferFile(const QTemporaryDir& dir, qsizetype size, QByteArray* content)
{
    for (qsizetype i = 0; i < size; ++i)
        content->append(char(i * 7 + i / 251));
    const QString path = dir.filePath(QStringLiteral("image.bin"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(*content);
    modZEMO::SetOpenFileHandler([path](const QString&, const QStringList&) { return path; });
    return path;
}

bool ConnectAt(TestWindow& w, const QString& speed)
{
    w.window.show();
    return Choose(w.List("SpeedListBox"), speed) && Connect(w, "Generic");
}

}

class tst_SendingWindow : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { modZEMO::SetOpenFileHandler({}); }

    // Sent whole while the device streams back and the box keeps up; or
    // stopped short: at most one message, and nothing more is sent.
    void file_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("said");
        QTest::newRow("whole") << "" << QStringList();
        QTest::newRow("cancel") << "cancel" << QStringList();
        QTest::newRow("file shrinks") << "truncate" << QStringList{"The file was not sent whole: %1 bytes went."};
        QTest::newRow("device goes") << "hang up" << QStringList{"The device on COM1 is not responding."};
        QTest::newRow("a device file") << "/dev/zero" << QStringList{"The file /dev/zero cannot be sent."};
        QTest::newRow("a folder") << "/tmp" << QStringList{"The file /tmp cannot be sent."};
    }
    void file()
    {
        QFETCH(QString, fault);
        QFETCH(QStringList, said);
        TestWindow w({1});
        PtyPair& device = w.ports.Device(1);
        QVERIFY(ConnectAt(w, "3000000"));
        QVERIFY(Choose(w.List("OutCombo"), "Chr"));
        QTemporaryDir dir;
        QByteArray content;
        const QString path = OfferFile(dir, 1 << 20, &content);
        if (fault.startsWith('/'))
            modZEMO::SetOpenFileHandler([fault](const QString&, const QStringList&) { return fault; });
        w.Action("FileSendMenu")->trigger();
        QCOMPARE(w.Find<QWidget>("SendFileBar")->isVisible(), !fault.startsWith('/'));
        qsizetype streamed = 0;
        QByteArray got = ReadWhileRunning(
            device,
            [&](const QByteArray& got) { return fault.startsWith('/') || got.size() > (fault.isEmpty() ? content.size() - 1 : 300); },
            [&](const QByteArray&) { streamed += device.Send(QByteArray(50, 'r')) ? 50 : 0; });
        if (fault == "cancel")
            QTest::mouseClick(w.Find<QPushButton>("SendFileCancel"), Qt::LeftButton);
        if (fault == "truncate")
            QFile::resize(path, 1000);
        if (fault == "hang up")
            device.CloseMaster();
        const auto stopped = [&](const QByteArray&) {
            return !w.Find<QWidget>("SendFileBar")->isVisible() && w.messages.Texts().size() == said.size();
        };
        if (fault == "hang up")
            QTRY_VERIFY(stopped({}));
        else
            got += ReadWhileRunning(device, stopped);
        LetTicksRun(20);
        if (fault != "hang up")
            got += device.ReceiveAvailable();
        QStringList shown;
        for (MessageRecorder::Message m : w.messages.Messages())
            shown << m.text.replace(QRegularExpression("\\d+ bytes"), "%1 bytes");
        QCOMPARE(shown, said);
        QCOMPARE(got.size() < content.size(), !fault.isEmpty());
        QCOMPARE(got, content.left(got.size()));
        if (fault.isEmpty())
            QTRY_COMPARE(w.Box("RXOut")->TextLength(), streamed);
    }

    // Sent every interval as Send sends it, until its count, Disc. or Stop Repeating.
    void repeat_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("stop"); // what the user does after three sends
        QTest::newRow("20 times") << 20 << "";
        QTest::newRow("until Disc.") << 0 << "COMInitButton";
        QTest::newRow("until Stop Repeating") << 0 << "PortRepeatMenu";
    }
    void repeat()
    {
        QFETCH(int, count);
        QFETCH(QString, stop);
        TestWindow w({1});
        PtyPair& device = w.ports.Device(1);
        QVERIFY(ConnectAt(w, "115200"));
        w.Check("CRCheckbox")->setChecked(true);
        QTest::keyClicks(w.Edit("SendData"), "ping");
        WhenDialogOpens({{"RepeatInterval", 100}, {"RepeatCount", count}});
        w.Action("PortRepeatMenu")->trigger();
        QCOMPARE(w.Action("PortRepeatMenu")->text(), QString("Stop Repeating"));
        const int expected = count ? count : 3;
        QByteArray got = ReadWhileRunning(device, [&](const QByteArray& got) { return got.count("ping\r") >= expected; });
        if (stop == "COMInitButton")
            QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        else if (!stop.isEmpty())
            w.Action("PortRepeatMenu")->trigger();
        LetTicksRun(30);
        got += device.ReceiveAvailable();
        QCOMPARE(got, QByteArray("ping\r").repeated(expected));
        QCOMPARE(w.Action("PortRepeatMenu")->text(), QString("Repeat Send..."));
        QCOMPARE(w.Edit("SendData")->text(), QString("ping"));
        QCOMPARE(w.messages.Texts(), QStringList());
    }

    // Each notation as the send box reads it, by its key or its button; a refused text says so once.
    void macro_data()
    {
        QTest::addColumn<QString>("notation");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("button"); // the macro bar's button instead of the key
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QStringList>("said");
        QTest::newRow("HEX") << "HEX" << "0aFF" << false << QByteArray("\x0a\xff") << QStringList();
        QTest::newRow("DEC") << "DEC" << "65" << true << QByteArray("A") << QStringList();
        QTest::newRow("BIN") << "BIN" << "0100000101000010" << false << QByteArray("AB") << QStringList();
        QTest::newRow("CHAR, CR LF") << "CHAR" << "AT" << true << QByteArray("AT\r\n") << QStringList();
        QTest::newRow("refused") << "DEC" << "256" << false << QByteArray()
                                 << QStringList{"You must enter an integer decimal value between 0-255."};
    }
    void macro()
    {
        QFETCH(QString, notation);
        QFETCH(QString, text);
        QFETCH(bool, button);
        QFETCH(QByteArray, sent);
        TestWindow w({1});
        PtyPair& device = w.ports.Device(1);
        QVERIFY(ConnectAt(w, "115200"));
        WhenDialogOpens({{"MacroName3", "Three"}, {"MacroText3", text}, {"MacroNotation3", notation},
                         {"MacroCR3", true}, {"MacroLF3", true}});
        w.Action("PortMacrosMenu")->trigger();
        auto* bar = w.Find<QWidget>("MacroBar");
        const QRect boxes = w.Find<QWidget>("Frame2")->geometry();
        w.Action("ViewMacroBar")->setChecked(true);
        QVERIFY(!bar->isVisible()); // no room at the first size
        QCOMPARE(w.Find<QWidget>("Frame2")->geometry(), boxes);
        if (button) {
            w.window.resize(w.window.size() + QSize(0, 100));
            QTRY_VERIFY(bar->isVisible());
            QCOMPARE(w.Button("MacroButton3")->text(), QString("Three"));
            QTest::mouseClick(w.Button("MacroButton3"), Qt::LeftButton);
        } else {
            w.window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w.window));
            QTest::keyClick(w.Edit("SendData"), Qt::Key_F3);
        }
        QCOMPARE(device.Receive(sent.size() + 1, 300), sent);
        QTEST(w.messages.Texts(), "said");
    }

    // Answers across ticks; a reply that an echoing device brings back to its own rule is held to the limit.
    void answersAnEchoingDevice()
    {
        TestWindow w({1});
        PtyPair& device = w.ports.Device(1);
        QVERIFY(ConnectAt(w, "115200"));
        WhenDialogOpens({{"AnswersEnabled", true}, {"AnswerPattern1", "50494e47"}, {"AnswerHex1", true},
                         {"AnswerReply1", "PING"}, {"AnswerNotation1", "CHAR"}});
        w.Action("PortAnswersMenu")->trigger();
        device.Send("PI");
        LetTicksRun(3);
        device.Send("NG");
        QElapsedTimer clock;
        clock.start();
        const QByteArray got = ReadWhileRunning(
            device, [&](const QByteArray&) { return clock.elapsed() > 1500; },
            [&](const QByteArray& fresh) { device.Send(fresh); });
        QVERIFY(got.startsWith("PING"));
        QVERIFY(got.count("PING") <= modZEMO::AnswerLimit::PerSecond * (clock.elapsed() / 1000 + 1));
        QCOMPARE(w.messages.Texts(), QStringList());
    }
};

QTEST_MAIN(tst_SendingWindow)
#include "tst_SendingWindow.moc"
