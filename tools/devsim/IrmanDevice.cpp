#include "IrmanDevice.h"

namespace devsim {

const std::vector<QByteArray> &IrmanDevice::keyCodes()
{
    static const std::vector<QByteArray> codes{
        QByteArray::fromHex("5a0c3e8107f2"),
        QByteArray::fromHex("5a0c3e8127d2"),
        QByteArray::fromHex("5a0c3e8117e2"),
        QByteArray::fromHex("5a0c3e8157a2"),
    };
    return codes;
}

IrmanDevice::IrmanDevice(QObject *parent) : SimDevice(parent)
{
    m_codeTimer.setInterval(std::chrono::seconds(2));
    connect(&m_codeTimer, &QTimer::timeout, this, &IrmanDevice::sendCode);
}

void IrmanDevice::setCodeInterval(std::chrono::milliseconds interval)
{
    m_codeTimer.setInterval(interval);
}

void IrmanDevice::setHandshakeGap(std::chrono::milliseconds gap)
{
    m_gap = gap;
}

void IrmanDevice::onBytes(const QByteArray &bytes)
{
    for (char c : bytes) {
        const bool handshake = c == 'R' && m_sinceI.isValid()
                               && m_sinceI.elapsed() < m_gap.count();
        m_sinceI.invalidate();
        if (c == 'I') {
            m_sinceI.start();
        } else if (handshake) {
            ++m_handshakes;
            m_nextCode = 0;
            write("OK");
            m_codeTimer.start();
        }
    }
}

void IrmanDevice::sendCode()
{
    if (backlogged())
        return;
    write(keyCodes()[m_nextCode]);
    m_nextCode = (m_nextCode + 1) % keyCodes().size();
}

}
