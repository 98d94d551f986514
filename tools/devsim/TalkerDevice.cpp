#include "TalkerDevice.h"

namespace devsim {

TalkerDevice::TalkerDevice(const QString &portName, QObject *parent)
    : SimDevice(parent), m_greeting("Hello from " + portName.toLatin1() + " #")
{
    m_lineTimer.setInterval(std::chrono::seconds(1));
    connect(&m_lineTimer, &QTimer::timeout, this, &TalkerDevice::sendLine);
}

void TalkerDevice::setLineInterval(std::chrono::milliseconds interval)
{
    m_lineTimer.setInterval(interval);
}

void TalkerDevice::setStreamRate(int bytesPerSecond)
{
    m_streamRate = bytesPerSecond;
}

void TalkerDevice::onStart()
{
    if (m_streamRate > 0)
        streamSequence(StreamTag, m_streamRate);
    else
        m_lineTimer.start();
}

void TalkerDevice::onBytes(const QByteArray &bytes)
{
    if (m_streamRate == 0)
        write(bytes);
}

void TalkerDevice::sendLine()
{
    // Nobody is reading: let the lines wait rather than pile up.
    if (backlogged())
        return;
    write(m_greeting + QByteArray::number(++m_lineNumber) + "\r\n");
}

}
