#include "support/SimulatedPorts.h"

#include "port/ComNames.h"
#include "port/ModemLineHook.h"

#include <QFile>

SimulatedPorts::SimulatedPorts()
{
    comnames::SetDeviceRootsForTest(QFile::encodeName(emptyRoots_.path()), QFile::encodeName(emptyRoots_.path()));
}

SimulatedPorts::~SimulatedPorts()
{
    win32::testhook::StopEmulating();
    comnames::SetDeviceRootsForTest({}, {});
}

PtyPair& SimulatedPorts::add(int comNumber)
{
    auto& pty = ports_[comNumber];
    pty = std::make_unique<PtyPair>();
    link(comNumber, pty->slavePath());
    return *pty;
}

bool SimulatedPorts::link(int comNumber, const QString& devicePath)
{
    win32::testhook::EmulateModemLines(QStringLiteral("COM%1").arg(comNumber));
    return dir_.link(comNumber, devicePath);
}

void SimulatedPorts::remove(int comNumber)
{
    dir_.remove(comNumber);
    ports_.erase(comNumber);
}
