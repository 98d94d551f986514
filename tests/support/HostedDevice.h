#pragma once

#include "DeviceHost.h"
#include "Pty.h"
#include "support/SimulatedPorts.h"

#include <memory>

// A simulated device on a pseudo-terminal of its own, linked as COMn among
// a window test's ports and answering from a thread of its own, so that it
// keeps time while the window's thread blocks in a connect or a send.
template <typename Device>
class HostedDevice {
public:
    template <typename... Args>
    explicit HostedDevice(Args&&... args)
        : device_(std::make_unique<Device>(std::forward<Args>(args)...))
    {
        device_->attach(pty_);
    }

    // Links the device as COMn and starts it; configure it before.
    void start(SimulatedPorts& ports, int comNumber)
    {
        link(ports, comNumber);
        run();
    }
    void link(SimulatedPorts& ports, int comNumber) { ports.link(comNumber, pty_.slavePath()); }
    void run() { host_.run(*device_); }

    Device* operator->() { return device_.get(); }
    // The device's port, for a program to open directly.
    QString path() const { return pty_.slavePath(); }

private:
    devsim::Pty pty_;
    std::unique_ptr<Device> device_;
    devsim::DeviceHost host_; // goes first: stops the device
};
