#pragma once

#include "SimDevice.h"

#include <chrono>
#include <vector>

namespace devsim {

// A Creative infrared receiver: no handshake, a 6-byte frame
// 4D 05 c ~c AC 21 at a steady pace, cycling through the stock remote's keys.
class CreativeIrDevice : public SimDevice
{
    Q_OBJECT
public:
    // PLAY, STOP, PAUSE, 1, 2, VOL+, VOL-, MUTE
    static const std::vector<quint8> &keys();
    static QByteArray frame(quint8 key);

    explicit CreativeIrDevice(QObject *parent = nullptr);
    void setFrameInterval(std::chrono::milliseconds interval);

protected:
    void onStart() override;
    void onBytes(const QByteArray &) override {}

private:
    void sendFrame();

    QTimer m_frameTimer{this};
    size_t m_nextKey = 0;
};

}
