#pragma once

#include "devsim/DeviceHost.h"
#include "support/PtyPair.h"
#include "support/SimulatedPorts.h"

#include <memory>

// A simulated device on a pseudo-terminal of its own, answering from a thread
// of its own so that it keeps time while the test's thread blocks (in a
// connect, a send, or a wait of the test's). Either linked as COMn among a
// window test's ports, or talked to directly: the test plays the program on
// Pty().
template <typename Device>
class HostedDevice {
public:
    template <typename... Args>
    explicit HostedDevice(Args&&... args)
        : device_(std::make_unique<Device>(std::forward<Args>(args)...))
    {
        device_->Attach(pty_.MasterFd());
    }

    // Links the device as COMn and starts it; configure it before.
    void Start(SimulatedPorts& ports, int comNumber)
    {
        Link(ports, comNumber);
        Run();
    }
    void Link(SimulatedPorts& ports, int comNumber) { ports.Link(comNumber, pty_.SlavePath()); }
    void Run() { host_.Run(*device_); }

    Device* operator->() { return device_.get(); }
    // The program's end of the device's port, for a test that talks to the device itself.
    PtyPair& Pty() { return pty_; }

private:
    PtyPair pty_{PtyPair::TestPlays::Program};
    std::unique_ptr<Device> device_;
    devsim::DeviceHost host_; // goes first: stops the device
};
