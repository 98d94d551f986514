#include "Cm11Device.h"

#include <numeric>

namespace devsim {

namespace {
constexpr quint8 PowerFailPoll = 0xA5;
constexpr quint8 PollAnswer = 0xFB;
constexpr quint8 ClockHeader = 0x9B;
constexpr qsizetype ClockRecordSize = 7;
constexpr quint8 HeaderMark = 0x04;
constexpr quint8 ExtendedBit = 0x01;
constexpr quint8 Ack = 0x00;
constexpr quint8 Ready = 0x55;
}

quint8 Cm11Device::checksum(QByteArrayView bytes)
{
    return std::accumulate(bytes.begin(), bytes.end(), quint8(0),
                           [](quint8 sum, char b) { return quint8(sum + quint8(b)); });
}

Cm11Device::Cm11Device(QObject *parent) : SimDevice(parent)
{
    m_pollTimer.setInterval(std::chrono::seconds(1));
    connect(&m_pollTimer, &QTimer::timeout, this, [this] {
        if (!backlogged())
            send(PowerFailPoll, {});
    });
}

void Cm11Device::setPollInterval(std::chrono::milliseconds interval)
{
    m_pollTimer.setInterval(interval);
}

void Cm11Device::setPollAtStart(bool on)
{
    m_pollAtStart = on;
}

void Cm11Device::setPowerLineDelay(std::chrono::milliseconds delay)
{
    m_lineDelay = delay;
}

void Cm11Device::setWrongChecksumOnce(bool on)
{
    m_wrongOnce = on;
}

void Cm11Device::setAnswerDelay(std::chrono::milliseconds delay)
{
    m_answerDelay = delay;
}

void Cm11Device::setSilent(bool on)
{
    m_silent = on;
}

void Cm11Device::onStart()
{
    if (!m_pollAtStart)
        return;
    m_polling = true;
    send(PowerFailPoll, {});
    m_pollTimer.start();
}

void Cm11Device::onBytes(const QByteArray &bytes)
{
    for (char c : bytes)
        take(quint8(c));
}

void Cm11Device::take(quint8 byte)
{
    if (m_state == State::Collecting) {
        m_frame += char(byte);
        if (m_frame.size() == m_frameSize)
            answerChecksum();
        return;
    }
    if (m_state == State::AwaitingAck) {
        m_state = State::Idle;
        if (byte == Ack) {
            ++m_completed;
            send(Ready, m_lineDelay);
            return;
        }
        // Not the confirmation: the host is sending a transmission again.
    }
    m_frame = QByteArray(1, char(byte));
    m_clockRecord = byte == ClockHeader;
    if (byte == PollAnswer) {
        m_polling = false;
        m_pollTimer.stop();
    } else if (m_clockRecord) {
        m_polling = false;
        m_pollTimer.stop();
        m_frameSize = ClockRecordSize;
        m_state = State::Collecting;
    } else if (byte & HeaderMark) {
        m_frameSize = (byte & ExtendedBit) ? 5 : 2;
        m_state = State::Collecting;
    }
}

void Cm11Device::answerChecksum()
{
    // The clock record's sum leaves out its 0x9B header.
    quint8 sum = checksum(m_clockRecord ? QByteArrayView(m_frame).sliced(1) : QByteArrayView(m_frame));
    if (m_wrongOnce) {
        m_wrongOnce = false;
        sum = quint8(sum + 1);
    }
    m_state = State::AwaitingAck;
    send(sum, m_answerDelay);
}

void Cm11Device::send(quint8 byte, std::chrono::milliseconds delay)
{
    if (m_silent)
        return;
    const QByteArray out(1, char(byte));
    if (delay.count() == 0)
        write(out);
    else
        QTimer::singleShot(delay, this, [this, out] { write(out); });
}

}
