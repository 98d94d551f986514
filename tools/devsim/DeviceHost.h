#pragma once

#include <QPointer>
#include <QThread>

#include <vector>

namespace devsim {

class SimDevice;

// Runs devices in a thread of their own, so that they answer in real time
// while the creating thread blocks. Destroying the host (or a device) stops
// the devices and brings them back to the thread that destroys them.
class DeviceHost {
public:
    DeviceHost();
    ~DeviceHost();
    DeviceHost(const DeviceHost&) = delete;
    DeviceHost& operator=(const DeviceHost&) = delete;

    // The device must be attached and live in the calling thread; it starts in the host's thread.
    void Run(SimDevice& device);

private:
    QThread thread_;
    std::vector<QPointer<SimDevice>> devices_;
};

}
