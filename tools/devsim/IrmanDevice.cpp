#include "devsim/IrmanDevice.h"

namespace devsim {

const std::vector<QByteArray>& IrmanDevice::KeyCodes()
{
    static const std::vector<QByteArray> codes{
        QByteArray::fromHex("5a0c3e8107f2"),
        QByteArray::fromHex("5a0c3e8127d2"),
        QByteArray::fromHex("5a0c3e8117e2"),
        QByteArray::fromHex("5a0c3e8157a2"),
    };
    return codes;
}

IrmanDevice::IrmanDevice(QObject* parent)
    : SimDevice(parent)
{
    codeTimer_.setInterval(std::chrono::seconds(2));
    connect(&codeTimer_, &QTimer::timeout, this, &IrmanDevice::SendCode);
}

void IrmanDevice::SetCodeInterval(std::chrono::milliseconds interval)
{
    codeTimer_.setInterval(interval);
}

void IrmanDevice::SetHandshakeGap(std::chrono::milliseconds gap)
{
    gap_ = gap;
}

void IrmanDevice::OnBytes(const QByteArray& bytes)
{
    for (char c : bytes) {
        const bool handshake = c == 'R' && sinceI_.isValid() && sinceI_.elapsed() < gap_.count();
        sinceI_.invalidate();
        if (c == 'I') {
            sinceI_.start();
        } else if (handshake) {
            ++handshakes_;
            nextCode_ = 0;
            Write("OK");
            codeTimer_.start();
        }
    }
}

void IrmanDevice::SendCode()
{
    if (Backlogged())
        return;
    Write(KeyCodes()[nextCode_]);
    nextCode_ = (nextCode_ + 1) % KeyCodes().size();
}

}
