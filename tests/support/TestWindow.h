#pragma once

#include "app/frmMain.h"
#include "support/MessageRecorder.h"
#include "support/SimulatedPorts.h"

#include <QList>

struct PortsAndMessages {
    explicit PortsAndMessages(const QList<int>& comNumbers)
    {
        for (const int n : comNumbers)
            ports.add(n);
    }

    SimulatedPorts ports;
    MessageRecorder messages;
};

// The window a window test drives: simulated ports COMn made before the
// window lists them, and its message boxes recorded.
struct TestWindow : PortsAndMessages, frmMain {
    explicit TestWindow(const QList<int>& comNumbers = {})
        : PortsAndMessages(comNumbers)
    {
    }
};
