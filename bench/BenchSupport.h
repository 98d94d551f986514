#pragma once

#include <cstdio>
#include <cstdlib>

#include "app/frmMain.h"
#include "app/monitor/ReceiveView.h"
#include "monitor/TickCounter.h"

#include <QByteArray>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QFile>
#include <QList>
#include <QPushButton>
#include <ctime>
#include <unistd.h>

// What the benchmarks share: figures about the process they run in, and the
// steps they take in the window, which they drive as a user does.
namespace bench {

// Runs this program once for each run number, each in a process of its own,
// so that memory one run freed cannot hide what the next one takes; false
// when one failed.
// What painting the visible rows of view once takes, in ms.
inline double PaintMilliseconds(ReceiveView& view, int paints)
{
    QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    QElapsedTimer clock;
    clock.start();
    for (int paint = 0; paint < paints; ++paint)
        view.viewport()->render(&image);
    return double(clock.nsecsElapsed()) / 1e6 / paints;
}

inline bool RunEachAlone(const char* program, int runs)
{
    for (int run = 0; run < runs; ++run) {
        std::fflush(stdout);
        if (std::system(qPrintable(QStringLiteral("\"%1\" %2").arg(QString::fromLocal8Bit(program)).arg(run))) != 0)
            return false;
    }
    return true;
}

inline double ResidentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * double(sysconf(_SC_PAGESIZE));
}

// CPU time of the calling thread: the window's thread, not the simulated devices'.
inline double ThreadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// A control of the window, found by its name; a run that names a missing one stops there.
template <typename T>
T* Control(const frmMain& window, const char* name)
{
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("the window has no %s", name);
    return found;
}

// Picks the entry that reads text from the window's list of that name.
inline void Choose(const frmMain& window, const char* list, const QString& text)
{
    QComboBox* box = Control<QComboBox>(window, list);
    const int index = box->findText(text, Qt::MatchExactly);
    if (index < 0)
        qFatal("%s has no entry %s", list, qPrintable(text));
    box->setCurrentIndex(index);
}

// Whether the window shows a connection: its Init button reads "Disc.".
inline bool Connected(const frmMain& window)
{
    return Control<QPushButton>(window, "COMInitButton")->text() == QLatin1String("Disc.");
}

// Presses Init (or Disc.); true when the window shows a connection after it.
inline bool PressInit(const frmMain& window)
{
    Control<QPushButton>(window, "COMInitButton")->click();
    return Connected(window);
}

// Shows the window, chooses the interface type (for Transparent also the
// first port of the second list) and presses Init; true when a port opened.
inline bool Connect(frmMain& window, const QString& type)
{
    window.show();
    Choose(window, "ITypeListBox", type);
    if (type == QLatin1String("Transparent"))
        Control<QComboBox>(window, "AltComListBox")->setCurrentIndex(0);
    return PressInit(window);
}

// A box in Hex shows each byte as two digits and a space; every line after
// the first begins, after the CR LF that ends the one before, with a stamp.
// How many bytes a Hex text of that length shows at perLine bytes a line:
inline qsizetype ReceivedCountInHex(qsizetype length, int perLine)
{
    const qsizetype line = 2 + modZEMO::StampLength + 3 * qsizetype(perLine);
    return length / line * perLine + length % line / 3;
}

// The bytes behind a Hex text, whatever its bytes per line.
inline QByteArray ReceivedInHex(const QByteArray& text)
{
    const auto digit = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    QByteArray bytes;
    bytes.reserve(text.size() / 3);
    for (qsizetype at = 0; at + 1 < text.size();) {
        if (text[at] == '\r') {
            at += 2 + modZEMO::StampLength;
            continue;
        }
        bytes += char(digit(text[at]) << 4 | digit(text[at + 1]));
        at += 3;
    }
    return bytes;
}

}
