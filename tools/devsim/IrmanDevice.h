#pragma once

#include "SimDevice.h"

#include <QElapsedTimer>

#include <atomic>
#include <chrono>
#include <vector>

namespace devsim {

// An IRMan infrared receiver. Silent until it gets "I" and then "R" within
// the handshake gap; then it answers "OK" and sends a 6-byte key code at a
// steady pace. A further "I","R" is a reset: "OK" again and the codes start over.
class IrmanDevice : public SimDevice
{
    Q_OBJECT
public:
    static const std::vector<QByteArray> &keyCodes();

    explicit IrmanDevice(QObject *parent = nullptr);
    void setCodeInterval(std::chrono::milliseconds interval);
    void setHandshakeGap(std::chrono::milliseconds gap);
    int handshakes() const { return m_handshakes; }

protected:
    void onBytes(const QByteArray &bytes) override;

private:
    void sendCode();

    QTimer m_codeTimer{this};
    QElapsedTimer m_sinceI;
    std::chrono::milliseconds m_gap{1000};
    size_t m_nextCode = 0;
    std::atomic<int> m_handshakes{0};
};

}
