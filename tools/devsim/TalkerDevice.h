#pragma once

#include "SimDevice.h"

#include <chrono>

namespace devsim {

// A plain talking device: a numbered text line at a steady pace
// ("Hello from COM1 #12\r\n") and an echo of every byte it receives.
// In stream mode it sends the verifiable sequence (tag 'T') at a fixed byte
// rate instead, with no lines and no echo, for soak tests.
class TalkerDevice : public SimDevice
{
    Q_OBJECT
public:
    static constexpr char StreamTag = 'T';

    explicit TalkerDevice(const QString &portName, QObject *parent = nullptr);
    void setLineInterval(std::chrono::milliseconds interval);
    void setStreamRate(int bytesPerSecond);

protected:
    void onStart() override;
    void onBytes(const QByteArray &bytes) override;

private:
    void sendLine();

    QByteArray m_greeting;
    QTimer m_lineTimer{this};
    quint64 m_lineNumber = 0;
    int m_streamRate = 0;
};

}
