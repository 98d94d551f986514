#pragma once

#include "app/frmMain.h"
#include "support/MessageRecorder.h"
#include "support/SimulatedPorts.h"

#include <QList>

// The window a window test drives: simulated ports COMn made before the
// window lists them, and its message boxes recorded.
struct TestWindow {
    explicit TestWindow(const QList<int>& comNumbers = {})
        : made(Make(ports, comNumbers))
    {
    }

    SimulatedPorts ports;
    bool made;
    MessageRecorder messages;
    frmMain w;

private:
    static bool Make(SimulatedPorts& ports, const QList<int>& comNumbers)
    {
        for (const int n : comNumbers)
            ports.add(n);
        return true;
    }
};
