#pragma once

#include <QString>

// Where a COM name points on this system. "COMn" is looked up first in the
// ports directory (an entry named COMn, usually a symlink to a device), then
// in the automatic numbering of the serial devices under /dev: ttyS* that
// sysfs reports as real UARTs, then ttyUSB*, ttyACM*, ttyAMA*, rfcomm*, each
// in numeric order, skipping the numbers the ports directory takes.
namespace comnames {

// $WENDALE_PORTS_DIR, else $XDG_CONFIG_HOME/wendale/ports (~/.config/wendale/ports).
QString PortsDirectory();

// n of "COMn" or "\\.\COMn" (any letter case); 0 for any other name.
int ComNumber(const QString& name);

// The device path COMn stands for, empty when there is no such port. Only
// looks: never opens the device. A path that does not resolve to a character
// device (a dangling link, a plain file) is no port.
QString ComDevicePath(int n);

// Lets tests point the automatic numbering at a made-up tree: devDir stands
// for /dev and sysDir for /sys. Empty strings restore the real roots.
void SetDeviceRootsForTest(const QString& devDir, const QString& sysDir);

}
