#pragma once

#include "support/PtyPair.h"
#include "support/TestPortsDir.h"

#include <QTemporaryDir>
#include <map>
#include <memory>

// The ports a window test sees: only the COM entries made here, each a
// pseudo-terminal whose master end plays the device, with emulated modem
// lines. The machine's own serial devices are hidden for the object's life.
class SimulatedPorts {
public:
    SimulatedPorts();
    ~SimulatedPorts();
    SimulatedPorts(const SimulatedPorts&) = delete;
    SimulatedPorts& operator=(const SimulatedPorts&) = delete;

    // Makes COMn; the device end is returned.
    PtyPair& Add(int comNumber);
    // Links COMn to a device of the caller's (a simulator's pty).
    bool Link(int comNumber, const QString& devicePath);
    PtyPair& Device(int comNumber) { return *ports_.at(comNumber); }
    void Remove(int comNumber);

private:
    QTemporaryDir emptyRoots_;
    TestPortsDir dir_;
    std::map<int, std::unique_ptr<PtyPair>> ports_;
};
