#pragma once

#include "devsim/SimDevice.h"

#include <atomic>
#include <chrono>

namespace devsim {

// An X10 CM11/CM12 power-line interface. At start it reports a power failure
// (0xA5 at a steady pace) until the host answers 0xFB or sends a clock record
// (0x9B and six bytes). A transmission (a header byte with bit 2 set and one
// code byte, or five bytes when the header's bit 0 is set; or a clock record)
// is answered with the 8-bit sum of its bytes; 0x00 then gets 0x55 once the
// power-line delay has passed. Any other byte where 0x00 was due starts over.
class Cm11Device : public SimDevice {
    Q_OBJECT

public:
    static quint8 Checksum(QByteArrayView bytes);

    explicit Cm11Device(QObject* parent = nullptr);
    void SetPollInterval(std::chrono::milliseconds interval);
    void SetPollAtStart(bool on);
    void SetPowerLineDelay(std::chrono::milliseconds delay);

    // Faults to try the host with.
    void SetWrongChecksumOnce(bool on);
    void SetAnswerDelay(std::chrono::milliseconds delay);
    void SetSilent(bool on);

    bool Polling() const { return polling_; }
    // Transmissions confirmed with 0x55.
    int Completed() const { return completed_; }

protected:
    void OnStart() override;
    void OnBytes(const QByteArray& bytes) override;

private:
    enum class State { Idle, Collecting, AwaitingAck };

    void Take(quint8 byte);
    void AnswerChecksum();
    void Send(quint8 byte, std::chrono::milliseconds delay);

    State state_ = State::Idle;
    QByteArray frame_;
    qsizetype frameSize_ = 0;
    bool clockRecord_ = false;
    QTimer pollTimer_{this};
    bool pollAtStart_ = true;
    std::chrono::milliseconds lineDelay_{200};
    std::chrono::milliseconds answerDelay_{0};
    bool wrongOnce_ = false;
    bool silent_ = false;
    std::atomic<bool> polling_{false};
    std::atomic<int> completed_{0};
};

}
