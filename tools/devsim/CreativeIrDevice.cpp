#include "CreativeIrDevice.h"

namespace devsim {

const std::vector<quint8> &CreativeIrDevice::keys()
{
    static const std::vector<quint8> codes{0x67, 0xA7, 0x27, 0x7B, 0xBB, 0xCB, 0xF3, 0x0B};
    return codes;
}

QByteArray CreativeIrDevice::frame(quint8 key)
{
    const char bytes[] = {0x4D, 0x05, char(key), char(~key), char(0xAC), 0x21};
    return QByteArray(bytes, sizeof bytes);
}

CreativeIrDevice::CreativeIrDevice(QObject *parent) : SimDevice(parent)
{
    m_frameTimer.setInterval(std::chrono::seconds(2));
    connect(&m_frameTimer, &QTimer::timeout, this, &CreativeIrDevice::sendFrame);
}

void CreativeIrDevice::setFrameInterval(std::chrono::milliseconds interval)
{
    m_frameTimer.setInterval(interval);
}

void CreativeIrDevice::onStart()
{
    m_frameTimer.start();
}

void CreativeIrDevice::sendFrame()
{
    if (backlogged())
        return;
    write(frame(keys()[m_nextKey]));
    m_nextKey = (m_nextKey + 1) % keys().size();
}

}
