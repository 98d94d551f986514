#pragma once

#include "devsim/SimDevice.h"

#include <chrono>

namespace devsim {

// A plain talking device: a numbered text line at a steady pace
// ("Hello from COM1 #12\r\n") and an echo of every byte it receives.
// In stream mode it sends the verifiable sequence (tag 'T') at a fixed byte
// rate instead, with no lines and no echo, for soak tests.
class TalkerDevice : public SimDevice {
    Q_OBJECT

public:
    static constexpr char StreamTag = 'T';

    explicit TalkerDevice(const QString& portName, QObject* parent = nullptr);
    void SetLineInterval(std::chrono::milliseconds interval);
    void SetStreamRate(int bytesPerSecond);

protected:
    void OnStart() override;
    void OnBytes(const QByteArray& bytes) override;

private:
    void SendLine();

    QByteArray greeting_;
    QTimer lineTimer_{this};
    quint64 lineNumber_ = 0;
    int streamRate_ = 0;
};

}
