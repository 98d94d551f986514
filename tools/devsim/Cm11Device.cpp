#include "devsim/Cm11Device.h"

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

quint8 Cm11Device::Checksum(QByteArrayView bytes)
{
    return std::accumulate(bytes.begin(), bytes.end(), quint8(0),
                           [](quint8 sum, char b) { return quint8(sum + quint8(b)); });
}

Cm11Device::Cm11Device(QObject* parent)
    : SimDevice(parent)
{
    pollTimer_.setInterval(std::chrono::seconds(1));
    connect(&pollTimer_, &QTimer::timeout, this, [this] {
        if (!Backlogged())
            Send(PowerFailPoll, {});
    });
}

void Cm11Device::SetPollInterval(std::chrono::milliseconds interval)
{
    pollTimer_.setInterval(interval);
}

void Cm11Device::SetPollAtStart(bool on)
{
    pollAtStart_ = on;
}

void Cm11Device::SetPowerLineDelay(std::chrono::milliseconds delay)
{
    lineDelay_ = delay;
}

void Cm11Device::SetWrongChecksumOnce(bool on)
{
    wrongOnce_ = on;
}

void Cm11Device::SetAnswerDelay(std::chrono::milliseconds delay)
{
    answerDelay_ = delay;
}

void Cm11Device::SetSilent(bool on)
{
    silent_ = on;
}

void Cm11Device::OnStart()
{
    if (!pollAtStart_)
        return;
    polling_ = true;
    Send(PowerFailPoll, {});
    pollTimer_.start();
}

void Cm11Device::OnBytes(const QByteArray& bytes)
{
    for (char c : bytes)
        Take(quint8(c));
}

void Cm11Device::Take(quint8 byte)
{
    if (state_ == State::Collecting) {
        frame_ += char(byte);
        if (frame_.size() == frameSize_)
            AnswerChecksum();
        return;
    }
    if (state_ == State::AwaitingAck) {
        state_ = State::Idle;
        if (byte == Ack) {
            ++completed_;
            Send(Ready, lineDelay_);
            return;
        }
        // Not the confirmation: the host is sending a transmission again.
    }
    frame_ = QByteArray(1, char(byte));
    clockRecord_ = byte == ClockHeader;
    if (byte == PollAnswer) {
        polling_ = false;
        pollTimer_.stop();
    } else if (clockRecord_) {
        polling_ = false;
        pollTimer_.stop();
        frameSize_ = ClockRecordSize;
        state_ = State::Collecting;
    } else if (byte & HeaderMark) {
        frameSize_ = (byte & ExtendedBit) ? 5 : 2;
        state_ = State::Collecting;
    }
}

void Cm11Device::AnswerChecksum()
{
    // The clock record's sum leaves out its 0x9B header.
    quint8 sum = Checksum(clockRecord_ ? QByteArrayView(frame_).sliced(1) : QByteArrayView(frame_));
    if (wrongOnce_) {
        wrongOnce_ = false;
        sum = quint8(sum + 1);
    }
    state_ = State::AwaitingAck;
    Send(sum, answerDelay_);
}

void Cm11Device::Send(quint8 byte, std::chrono::milliseconds delay)
{
    if (silent_)
        return;
    const QByteArray out(1, char(byte));
    if (delay.count() == 0)
        Write(out);
    else
        QTimer::singleShot(delay, this, [this, out] { Write(out); });
}

}
