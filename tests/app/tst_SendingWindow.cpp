#include "app/FileDialog.h"
#include "support/window/TestWindow.h"
#include "transmit/Answers.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QSpinBox>
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
        for (const auto& [name, value] : fields) {
            QWidget* field = dialog->findChild<QWidget*>(name);
            if (auto* spin = qobject_cast<QSpinBox*>(field))
                spin->setValue(value.toInt());
            else if (auto* edit = qobject_cast<QLineEdit*>(field))
                edit->setText(value.toString());
            else if (auto* list = qobject_cast<QComboBox*>(field))
                list->setCurrentText(value.toString());
            else
                qobject_cast<QCheckBox*>(field)->setChecked(value.toBool());
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

    // Sent whole, while the device streams back and the box keeps up.
    void fileWhileReceiving()
    {
        TestWindow w({1});
        PtyPair& device = w.ports.Device(1);
        QVERIFY(ConnectAt(w, "3000000"));
        QVERIFY(Choose(w.List("OutCombo"), "Chr"));
        QTemporaryDir dir;
        QByteArray content;
        OfferFile(dir, 1 << 20, &content);
        QElapsedTimer clock;
        clock.start();
        w.Action("FileSendMenu")->trigger();
        QVERIFY(w.Find<QWidget>("SendFileBar")->isVisible());
        qsizetype streamed = 0;
        const QByteArray got = ReadWhileRunning(
            device, [&](const QByteArray& got) { return got.size() >= content.size(); },
            [&](const QByteArray&) { streamed += device.Send(QByteArray(50, 'r')) ? 50 : 0; });
        qInfo("1 MiB at 3000000 bit/s: %.0f bytes/s", content.size() * 1000.0 / clock.elapsed());
        QCOMPARE(got, content);
        QTRY_VERIFY(!w.Find<QWidget>("SendFileBar")->isVisible());
        QTRY_COMPARE(w.Box("RXOut")->TextLength(), streamed);
        QCOMPARE(w.messages.Texts(), QStringList());
    }

    // Each way a file stops short: at most one message, and nothing more is sent.
    void fileStopsShort_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("said");
        const QString shortSend = "The file was not sent whole: %1 bytes went.";
        QTest::newRow("cancel") << "cancel" << QStringList();
        QTest::newRow("file shrinks") << "truncate" << QStringList{shortSend};
        QTest::newRow("device goes") << "hang up" << QStringList{"The device on COM1 is not responding."};
        QTest::newRow("a device file") << "/dev/zero" << QStringList{"The file /dev/zero cannot be sent."};
        QTest::newRow("a folder") << "/tmp" << QStringList{"The file /tmp cannot be sent."};
    }
    void fileStopsShort()
    {
        QFETCH(QString, fault);
        QFETCH(QStringList, said);
        TestWindow w({1});
        PtyPair& device = w.ports.Device(1);
        QVERIFY(ConnectAt(w, "3000000"));
        QTemporaryDir dir;
        QByteArray content;
        const QString path = OfferFile(dir, 1 << 20, &content);
        if (fault.startsWith('/'))
            modZEMO::SetOpenFileHandler([fault](const QString&, const QStringList&) { return fault; });
        w.Action("FileSendMenu")->trigger();
        QByteArray got = ReadWhileRunning(device, [&](const QByteArray& got) { return fault.startsWith('/') || got.size() > 300; });
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
        QVERIFY(got.size() < content.size());
        QCOMPARE(got, content.left(got.size()));
    }
};

QTEST_MAIN(tst_SendingWindow)
#include "tst_SendingWindow.moc"
