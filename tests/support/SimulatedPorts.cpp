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

PtyPair& SimulatedPorts::Add(int comNumber)
{
    auto& pty = ports_[comNumber];
    pty = std::make_unique<PtyPair>();
    Link(comNumber, pty->SlavePath());
    return *pty;
}

bool SimulatedPorts::Link(int comNumber, const QString& devicePath)
{
    win32::testhook::EmulateModemLines(QStringLiteral("COM%1").arg(comNumber));
    return dir_.Link(comNumber, devicePath);
}

void SimulatedPorts::Remove(int comNumber)
{
    dir_.Remove(comNumber);
    ports_.erase(comNumber);
}
