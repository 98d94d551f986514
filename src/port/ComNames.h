#pragma once

#include <QByteArray>
#include <QString>

// Where a COM name points on this system. "COMn" is looked up first in the
// ports directory (an entry named COMn, usually a symlink to a device), then
// in the automatic numbering of the serial devices under /dev: ttyS* that
// sysfs reports as real UARTs, then ttyUSB*, ttyACM*, ttyAMA*, rfcomm*, each
// in numeric order, skipping the numbers the ports directory takes.
// Paths are bytes, as the file system has them: a name that is not UTF-8
// works like any other.
namespace comnames {

// $WENDALE_PORTS_DIR, else $XDG_CONFIG_HOME/wendale/ports (~/.config/wendale/ports).
QByteArray PortsDirectory();

// Why the ports directory cannot be read, as a sentence that names it; empty
// when it can be, or when the default one does not exist. An unreadable
// directory counts as empty: the automatic numbering alone names the ports.
QByteArray PortsDirectoryProblem();

// n of "COMn" or "\\.\COMn" (any letter case); 0 for any other name.
int ComNumber(const QString& name);

// The device path COMn stands for, empty when nothing is there: a ports
// directory entry leads to its resolved target, whatever that is (check it
// with IsSerialTerminal), or to the URL of a remote port when its link
// target is one (see RemoteAddress.h); the automatic numbering counts serial
// terminals only. Only looks: never opens the device nor connects.
QByteArray ComDevicePath(int n);

// path is a port: a serial terminal or the URL of a remote port.
bool IsPort(const QByteArray& path);

// path is a serial terminal, found without opening it: a character device
// of the tty class, pseudo-terminal slaves included, but not /dev/tty,
// /dev/console or /dev/ptmx (opening that one makes a new pseudo-terminal).
bool IsSerialTerminal(const QByteArray& path);

// Lets tests point the automatic numbering at a made-up tree: devDir stands
// for /dev and sysDir for /sys. Empty arrays restore the real roots.
void SetDeviceRootsForTest(const QByteArray& devDir, const QByteArray& sysDir);

}
