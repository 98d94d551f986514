#pragma once

#include "SimDevice.h"

#include <atomic>
#include <chrono>

namespace devsim {

// An X10 CM11/CM12 power-line interface. At start it reports a power failure
// (0xA5 at a steady pace) until the host answers 0xFB or sends a clock record
// (0x9B and six bytes). A transmission (a header byte with bit 2 set and one
// code byte, or five bytes when the header's bit 0 is set; or a clock record)
// is answered with the 8-bit sum of its bytes; 0x00 then gets 0x55 once the
// power-line delay has passed. Any other byte where 0x00 was due starts over.
class Cm11Device : public SimDevice
{
    Q_OBJECT
public:
    static quint8 checksum(QByteArrayView bytes);

    explicit Cm11Device(QObject *parent = nullptr);
    void setPollInterval(std::chrono::milliseconds interval);
    void setPollAtStart(bool on);
    void setPowerLineDelay(std::chrono::milliseconds delay);

    // Faults to try the host with.
    void setWrongChecksumOnce(bool on);
    void setAnswerDelay(std::chrono::milliseconds delay);
    void setSilent(bool on);

    bool polling() const { return m_polling; }
    // Transmissions confirmed with 0x55.
    int completed() const { return m_completed; }

protected:
    void onStart() override;
    void onBytes(const QByteArray &bytes) override;

private:
    enum class State { Idle, Collecting, AwaitingAck };

    void take(quint8 byte);
    void answerChecksum();
    void send(quint8 byte, std::chrono::milliseconds delay);

    State m_state = State::Idle;
    QByteArray m_frame;
    qsizetype m_frameSize = 0;
    bool m_clockRecord = false;
    QTimer m_pollTimer{this};
    bool m_pollAtStart = true;
    std::chrono::milliseconds m_lineDelay{200};
    std::chrono::milliseconds m_answerDelay{0};
    bool m_wrongOnce = false;
    bool m_silent = false;
    std::atomic<bool> m_polling{false};
    std::atomic<int> m_completed{0};
};

}
