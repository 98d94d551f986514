#include "devsim/CreativeIrDevice.h"

namespace devsim {

const std::vector<quint8>& CreativeIrDevice::Keys()
{
    static const std::vector<quint8> codes{0x67, 0xA7, 0x27, 0x7B, 0xBB, 0xCB, 0xF3, 0x0B};
    return codes;
}

QByteArray CreativeIrDevice::Frame(quint8 key)
{
    const char bytes[] = {0x4D, 0x05, char(key), char(~key), char(0xAC), 0x21};
    return QByteArray(bytes, sizeof bytes);
}

CreativeIrDevice::CreativeIrDevice(QObject* parent)
    : SimDevice(parent)
{
    frameTimer_.setInterval(std::chrono::seconds(2));
    connect(&frameTimer_, &QTimer::timeout, this, &CreativeIrDevice::SendFrame);
}

void CreativeIrDevice::SetFrameInterval(std::chrono::milliseconds interval)
{
    frameTimer_.setInterval(interval);
}

void CreativeIrDevice::OnStart()
{
    frameTimer_.start();
}

void CreativeIrDevice::SendFrame()
{
    if (Backlogged())
        return;
    Write(Frame(Keys()[nextKey_]));
    nextKey_ = (nextKey_ + 1) % Keys().size();
}

}
