// Puts the window into the states the manual shows and saves each as a PNG:
// idle; the simulated talker in Chr and in Hex; Transparent between the relay
// pair, in two boxes and as one timeline; the X10 interface after two sends; the window maximized with the
// find bar open.
#include "app/MsgBox.h"
#include "app/frmMain.h"
#include "bench/BenchSupport.h"
#include "devsim/DeviceHost.h"
#include "devsim/PortMap.h"
#include "devsim/PortsDirectory.h"
#include "port/ComNames.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QThread>

#include <functional>

namespace {

QTextStream& Err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Lets the window and the devices run for a while.
void RunFor(int ms)
{
    const QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

// The whole window with its frame left out; a palette image keeps the file small.
bool Save(frmMain& w, const QDir& dir, const QString& name)
{
    RunFor(100);
    const QImage image = w.grab().toImage().convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const QString path = dir.filePath(name);
    if (!image.save(path, "PNG", 0)) {
        Err() << "cannot write " << path << Qt::endl;
        return false;
    }
    QTextStream(stdout) << path << Qt::endl;
    return true;
}

using bench::Choose;
using bench::Control;

void Send(const frmMain& w, const QString& text)
{
    Control<QLineEdit>(w, "SendData")->setText(text);
    Control<QPushButton>(w, "SendButton")->click();
}

struct Shot {
    QString file;
    QString interfaceType;
    QString port;
    std::function<void(frmMain&)> before; // choices made before Init
    std::function<void(frmMain&)> after;  // what is done while connected
};

}

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        Err() << "usage: wendale-screenshots OUTPUT_DIR (normally help/images)" << Qt::endl;
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        Err() << "cannot make " << out.path() << Qt::endl;
        return 2;
    }

    QString error;
    devsim::PortMap ports;
    devsim::PortsDirectory directory;
    if (!ports.Open(devsim::SimulationOptions{}, &error) || !directory.Open({}, &error)) {
        Err() << error << Qt::endl;
        return 1;
    }
    for (const auto& port : ports.Ports()) {
        if (!directory.Link(port.comName, port.pty->SlavePath(), &error)) {
            Err() << error << Qt::endl;
            return 1;
        }
    }
    // Only the simulator's ports, whatever this machine has, so the pictures are the same everywhere.
    const QTemporaryDir noDevices;
    comnames::SetDeviceRootsForTest(QFile::encodeName(noDevices.path()), QFile::encodeName(noDevices.path()));
    qputenv("WENDALE_PORTS_DIR", QFile::encodeName(directory.Path()));
    // The X10 exchange holds the window's thread: the devices answer from a thread of their own.
    devsim::DeviceHost host;
    for (const auto& port : ports.Ports())
        host.Run(*port.device);

    modZEMO::SetMsgBoxHandler([](const QString& text, int, const QString&, const QString&) {
        Err() << "message: " << text << Qt::endl;
    });

    // The first-run choices, whatever this user keeps.
    frmMain w(frmMain::Start::Defaults);
    w.show();
    if (!Save(w, out, QStringLiteral("idle.png")))
        return 1;

    const Shot shots[] = {
        {QStringLiteral("talker-chr.png"), QStringLiteral("Generic"), QStringLiteral("COM1"), {},
         [](frmMain& w) {
             RunFor(2500);
             Control<QCheckBox>(w, "CRCheckbox")->setChecked(true);
             Control<QCheckBox>(w, "LFCheckbox")->setChecked(true);
             Send(w, QStringLiteral("hello"));
             RunFor(2000);
         }},
        {QStringLiteral("talker-hex.png"), QStringLiteral("Generic"), QStringLiteral("COM1"),
         [](frmMain& w) {
             Choose(w, "OutCombo", QStringLiteral("Hex"));
             Choose(w, "RXBitsNrListBox", QStringLiteral("16"));
             Choose(w, "TXDataTypeListBox", QStringLiteral("HEX"));
         },
         [](frmMain&) { RunFor(4500); }},
        {QStringLiteral("transparent.png"), QStringLiteral("Transparent"), QStringLiteral("COM6"),
         [](frmMain& w) {
             Choose(w, "OutCombo", QStringLiteral("Chr"));
             Choose(w, "RXBitsNrListBox", QStringLiteral("0"));
             Choose(w, "AltComListBox", QStringLiteral("COM7"));
         },
         [](frmMain&) { RunFor(4500); }},
        {QStringLiteral("timeline.png"), QStringLiteral("Transparent"), QStringLiteral("COM6"),
         [](frmMain& w) {
             Choose(w, "AltComListBox", QStringLiteral("COM7"));
             Control<QAction>(w, "ViewOneTimeline")->trigger();
         },
         // It stays on: the one-port pictures that follow do not show it.
         [](frmMain&) { RunFor(4500); }},
        {QStringLiteral("x10.png"), QStringLiteral("CM12(X10)"), QStringLiteral("COM4"), {},
         [](frmMain& w) {
             RunFor(500);
             Send(w, QStringLiteral("0466"));
             RunFor(500);
             Send(w, QStringLiteral("0662"));
             RunFor(800);
             Control<QLineEdit>(w, "SendData")->setText(QStringLiteral("0663"));
         }},
        {QStringLiteral("maximized.png"), QStringLiteral("Generic"), QStringLiteral("COM1"),
         [](frmMain& w) {
             Choose(w, "SpeedListBox", QStringLiteral("9600"));
             Choose(w, "TXDataTypeListBox", QStringLiteral("CHAR"));
             Control<QLineEdit>(w, "SendData")->clear();
             Choose(w, "OutCombo", QStringLiteral("Hex"));
             Choose(w, "RXBitsNrListBox", QStringLiteral("16"));
         },
         [](frmMain& w) {
             RunFor(6500);
             w.showMaximized();
             // Ctrl+F opens the find bar; Enter selects the first match.
             QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
             Control<QCheckBox>(w, "FindHexBytes")->setChecked(true);
             auto* pattern = Control<QLineEdit>(w, "FindPattern");
             pattern->setText(QStringLiteral("0D 0A"));
             QTest::keyClick(pattern, Qt::Key_Return);
         }},
    };
    for (const Shot& shot : shots) {
        Choose(w, "ITypeListBox", shot.interfaceType);
        Choose(w, "ComPortListBox", shot.port);
        if (shot.before)
            shot.before(w);
        if (!bench::PressInit(w)) {
            Err() << "cannot connect " << shot.port << Qt::endl;
            return 1;
        }
        shot.after(w);
        const bool saved = Save(w, out, shot.file);
        bench::PressInit(w);
        if (!saved)
            return 1;
    }
    return 0;
}
