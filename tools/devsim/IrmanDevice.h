#pragma once

#include "devsim/SimDevice.h"

#include <QElapsedTimer>

#include <atomic>
#include <chrono>
#include <vector>

namespace devsim {

// An IRMan infrared receiver. Silent until it gets "I" and then "R" within
// the handshake gap; then it answers "OK" and sends a 6-byte key code at a
// steady pace. A further "I","R" is a reset: "OK" again and the codes start over.
class IrmanDevice : public SimDevice {
    Q_OBJECT

public:
    static const std::vector<QByteArray>& KeyCodes();

    explicit IrmanDevice(QObject* parent = nullptr);
    void SetCodeInterval(std::chrono::milliseconds interval);
    void SetHandshakeGap(std::chrono::milliseconds gap);
    int Handshakes() const { return handshakes_; }

protected:
    void OnBytes(const QByteArray& bytes) override;

private:
    void SendCode();

    QTimer codeTimer_{this};
    QElapsedTimer sinceI_;
    std::chrono::milliseconds gap_{1000};
    size_t nextCode_ = 0;
    std::atomic<int> handshakes_{0};
};

}
