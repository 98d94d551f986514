#pragma once

#include "devsim/SimDevice.h"

#include <chrono>
#include <vector>

namespace devsim {

// A Creative infrared receiver: no handshake, a 6-byte frame
// 4D 05 c ~c AC 21 at a steady pace, cycling through the stock remote's keys.
class CreativeIrDevice : public SimDevice {
    Q_OBJECT

public:
    // PLAY, STOP, PAUSE, 1, 2, VOL+, VOL-, MUTE
    static const std::vector<quint8>& Keys();
    static QByteArray Frame(quint8 key);

    explicit CreativeIrDevice(QObject* parent = nullptr);
    void SetFrameInterval(std::chrono::milliseconds interval);

protected:
    void OnStart() override;
    void OnBytes(const QByteArray&) override {}

private:
    void SendFrame();

    QTimer frameTimer_{this};
    size_t nextKey_ = 0;
};

}
