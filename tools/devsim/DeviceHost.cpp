#include "DeviceHost.h"

#include "SimDevice.h"

namespace devsim {

DeviceHost::DeviceHost()
{
    m_thread.setObjectName(QStringLiteral("devsim devices"));
    m_thread.start();
}

DeviceHost::~DeviceHost()
{
    for (const QPointer<SimDevice> &device : m_devices) {
        if (device)
            device->bringHome();
    }
    m_thread.quit();
    m_thread.wait();
}

void DeviceHost::run(SimDevice &device)
{
    device.moveToThread(&m_thread);
    m_devices.emplace_back(&device);
    QMetaObject::invokeMethod(&device, &SimDevice::start, Qt::QueuedConnection);
}

}
