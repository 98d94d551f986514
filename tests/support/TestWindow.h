#pragma once

// A window test's one include: the window, its parts and the steps a user takes.
#include "app/frmMain.h"
#include "monitor/ReceiveView.h"
#include "port/ModZemoPorts.h"
#include "support/MessageRecorder.h"
#include "support/SimulatedPorts.h"
#include "support/WindowSteps.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPushButton>
#include <QTest>
#include <QTimer>

struct PortsAndMessages {
    explicit PortsAndMessages(const QList<int>& comNumbers = {})
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
    using PortsAndMessages::PortsAndMessages;
};
