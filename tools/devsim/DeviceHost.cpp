#include "devsim/DeviceHost.h"

#include "devsim/SimDevice.h"

namespace devsim {

DeviceHost::DeviceHost()
{
    thread_.setObjectName(QStringLiteral("devsim devices"));
    thread_.start();
}

DeviceHost::~DeviceHost()
{
    for (const QPointer<SimDevice>& device : devices_) {
        if (device)
            device->BringHome();
    }
    thread_.quit();
    thread_.wait();
}

void DeviceHost::Run(SimDevice& device)
{
    device.moveToThread(&thread_);
    devices_.emplace_back(&device);
    QMetaObject::invokeMethod(&device, &SimDevice::Start, Qt::QueuedConnection);
}

}
