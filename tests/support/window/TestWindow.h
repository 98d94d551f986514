#pragma once

// A window test's one include: the window, the controls a user sees and the steps a user takes.
#include "app/frmMain.h"
#include "app/monitor/ReceiveView.h"
#include "port/ModZemoPorts.h"
#include "support/window/MessageRecorder.h"
#include "support/SimulatedPorts.h"
#include "support/TestConfigDir.h"
#include "support/window/WindowSteps.h"

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
            ports.Add(n);
    }

    TestConfigDir config; // before the window, which reads it
    SimulatedPorts ports;
    MessageRecorder messages;
};

// A window's controls, found as a user finds them, by name.
struct WindowControls {
    const QWidget* root;

    QComboBox* List(const char* name) const { return Find<QComboBox>(name); }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
    QCheckBox* Check(const char* name) const { return Find<QCheckBox>(name); }
    QLabel* Label(const char* name) const { return Find<QLabel>(name); }
    QLineEdit* Edit(const char* name) const { return Find<QLineEdit>(name); }
    ReceiveView* Box(const char* name) const { return Find<ReceiveView>(name); }
    QAction* Action(const char* name) const { return Find<QAction>(name); }
    QTimer* Timer() const { return Find<QTimer>("Timer1"); }

    // A control the window must have; a test that names a missing one stops there.
    template <typename T>
    T* Find(const char* name) const
    {
        T* found = root->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("the window has no %s", name);
        return found;
    }
};

// The window a window test drives: simulated ports COMn made before the
// window lists them, its message boxes recorded, its configuration folder its
// own, and its controls found by name.
struct TestWindow : PortsAndMessages, WindowControls {
    explicit TestWindow(const QList<int>& comNumbers = {}, frmMain::Start start = frmMain::Start::SavedChoices)
        : PortsAndMessages(comNumbers)
        , WindowControls{&window}
        , window(start)
    {
    }

    frmMain window;
};
