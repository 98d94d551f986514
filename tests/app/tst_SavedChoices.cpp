#include "session/ChoiceFile.h"
#include "support/window/TestWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void Write(const QString& path, const QByteArray& contents)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
        qFatal("cannot write %s", qPrintable(path));
}

// The lists a user reads, in one line.
QString Shown(const WindowControls& w)
{
    QStringList shown;
    for (const char* list : {"ComPortListBox", "ITypeListBox", "SpeedListBox", "BitsListBox", "ParityListBox",
                             "StopListBox", "HandshakeListBox", "TXDataTypeListBox", "RXBitsNrListBox", "OutCombo"})
        shown << w.List(list)->currentText();
    shown << (w.Check("CRCheckbox")->isChecked() ? "CR" : "-");
    for (const char* entry : {"ViewStampTimeOfDay", "ViewStampEveryLine"})
        shown << (w.Action(entry)->isChecked() ? entry : "-");
    return shown.join(u' ');
}

const QString Written = QStringLiteral("COM1 Generic 9600 8 None 1 None CHAR 0 Chr - - -");

}

class tst_SavedChoices : public QObject {
    Q_OBJECT

private slots:
    // What the user chose, the send history too, the next window shows;
    // --defaults shows the written start and keeps nothing.
    void keptForTheNextWindow_data()
    {
        QTest::addColumn<frmMain::Start>("start");
        QTest::addColumn<QString>("shown");
        QTest::newRow("saved") << frmMain::Start::SavedChoices
                               << "COM2 Generic 74880 7 Even 2 Hardware CHAR 16 Hex CR ViewStampTimeOfDay "
                                  "ViewStampEveryLine";
        QTest::newRow("--defaults") << frmMain::Start::Defaults << Written;
    }
    void keptForTheNextWindow()
    {
        QFETCH(frmMain::Start, start);
        QFETCH(QString, shown);
        TestWindow w({1, 2, 3});
        w.window.show();
        const QSize larger = w.window.size() + QSize(200, 100);
        w.window.resize(larger);
        Choose(w.List("ComPortListBox"), "COM2");
        QLineEdit* speed = w.List("SpeedListBox")->lineEdit();
        speed->selectAll();
        QTest::keyClicks(speed, "74880");
        for (const auto& [list, text] : {std::pair{"BitsListBox", "7"}, {"ParityListBox", "Even"}, {"StopListBox", "2"},
                                         {"HandshakeListBox", "Hardware"}, {"RXBitsNrListBox", "16"}, {"OutCombo", "Hex"}})
            Choose(w.List(list), text);
        QTest::mouseClick(w.Check("CRCheckbox"), Qt::LeftButton);
        w.Action("ViewStampTimeOfDay")->trigger();
        w.Action("ViewStampEveryLine")->trigger();
        QVERIFY(Connect(w, "Generic"));
        const QString sent = QString::fromLatin1("AT\x01\x7f\xe9\xff");
        Send(w, sent);
        QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        const QString path = session::ChoiceFile::Path();
        QTRY_VERIFY(Contents(path).contains("HistoryIndex=1"));

        frmMain again(start);
        const WindowControls next{&again};
        QCOMPARE(Shown(next), shown);
        QCOMPARE(again.size() == larger, start == frmMain::Start::SavedChoices);
        if (start == frmMain::Start::Defaults) {
            const QByteArray kept = Contents(path);
            Choose(next.List("OutCombo"), "Bin");
            QTest::qWait(300);
            QCOMPARE(Contents(path), kept);
            return;
        }
        QTest::mouseClick(next.Button("COMInitButton"), Qt::LeftButton);
        QTest::keyClick(next.Edit("SendData"), Qt::Key_Up);
        QCOMPARE(next.Edit("SendData")->text(), sent);
        QVERIFY(w.messages.Texts().isEmpty());
    }

    // Forgetting deletes the file and shows the written start at once; not while connected.
    void forget()
    {
        TestWindow w({1, 2});
        w.window.show();
        Choose(w.List("OutCombo"), "Hex");
        w.Action("ViewStampEveryLine")->trigger();
        const QString path = session::ChoiceFile::Path();
        QTRY_VERIFY(QFile::exists(path));
        QVERIFY(Connect(w, "Generic"));
        QVERIFY(!w.Action("FileForgetMenu")->isEnabled());
        QTest::mouseClick(w.Button("COMInitButton"), Qt::LeftButton);
        QVERIFY(w.Action("FileForgetMenu")->isEnabled());
        w.Action("FileForgetMenu")->trigger();
        QVERIFY(!QFile::exists(path));
        QCOMPARE(Shown(w), Written);
        QTest::qWait(300);
        QVERIFY(!QFile::exists(path));
    }

    // A file edited by hand or not this program's: what makes no sense keeps
    // the written default, silently in the window, and the file is left as it
    // is until the user changes something.
    void nonsense_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("shown");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary += char(i * 7);
        QTest::newRow("bytes") << binary << Written;
        QTest::newRow("wrong types") << QByteArray("[Line]\nSpeed=fast\nBits=7\n[Send]\nCR=7\nHistory=x\n"
                                                   "[Menus]\nViewStampEveryLine=yes\n[Window]\nGeometry=@Invalid()\n")
                                     << "COM1 Generic 9600 7 None 1 None CHAR 0 Chr - - -";
        QTest::newRow("1.5 stop bits with 8 data bits")
            << QByteArray("[Line]\nBits=8\nStop=1.5\nParity=Odd\n") << "COM1 Generic 9600 8 Odd 1 None CHAR 0 Chr - - -";
        QTest::newRow("a port that has gone") << QByteArray("[Port]\nPrimary=COM9\n[Receive]\nNotation=Bin\n")
                                              << "COM1 Generic 9600 8 None 1 None CHAR 0 Bin - - -";
    }
    void nonsense()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, shown);
        PortsAndMessages setup({1, 2});
        const QString path = session::ChoiceFile::Path();
        Write(path, contents);
        frmMain window;
        const WindowControls w{&window};
        QCOMPARE(Shown(w), shown);
        QVERIFY(setup.messages.Texts().isEmpty());
        QTest::qWait(300);
        QCOMPARE(Contents(path), contents);
        Choose(w.List("OutCombo"), "Hex");
        QTRY_VERIFY(Contents(path).contains("Notation=Hex"));
    }
};

QTEST_MAIN(tst_SavedChoices)
#include "tst_SavedChoices.moc"
