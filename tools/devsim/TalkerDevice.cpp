#include "devsim/TalkerDevice.h"

namespace devsim {

TalkerDevice::TalkerDevice(const QString& portName, QObject* parent)
    : SimDevice(parent)
    , greeting_("Hello from " + portName.toLatin1() + " #")
{
    lineTimer_.setInterval(std::chrono::seconds(1));
    connect(&lineTimer_, &QTimer::timeout, this, &TalkerDevice::SendLine);
}

void TalkerDevice::SetLineInterval(std::chrono::milliseconds interval)
{
    lineTimer_.setInterval(interval);
}

void TalkerDevice::SetStreamRate(int bytesPerSecond)
{
    streamRate_ = bytesPerSecond;
}

void TalkerDevice::OnStart()
{
    if (streamRate_ > 0)
        StreamSequence(StreamTag, streamRate_);
    else
        lineTimer_.start();
}

void TalkerDevice::OnBytes(const QByteArray& bytes)
{
    if (streamRate_ == 0)
        Write(bytes);
}

void TalkerDevice::SendLine()
{
    // Nobody is reading: let the lines wait rather than pile up.
    if (Backlogged())
        return;
    Write(greeting_ + QByteArray::number(++lineNumber_) + "\r\n");
}

}
