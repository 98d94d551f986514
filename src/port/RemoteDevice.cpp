#include "port/RemoteDevice.h"

#include "port/TcpConnect.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace remoteport {

namespace {

using serialdevice::Clock;
using serialdevice::WriteResult;

constexpr size_t ChunkSize = 4096;
// Data held for the program beyond this is left in the socket, so that TCP
// holds the server back; a wait for the server's answers reads on, at most
// as much again.
constexpr qsizetype Backlog = 64 * 1024;
// What one look at the socket takes in, data or not, before the caller looks
// at its clock again.
constexpr qsizetype ReadLimit = 64 * 1024;
// Data a server may send before it has answered the opening exchange, far
// above what a device sends in the moment that takes.
constexpr qsizetype OpeningHeld = 8 * 1024;

QString SentTooMuch()
{
    return QStringLiteral("the server sent too much before answering");
}

Clock::time_point WaitLimitFromNow()
{
    return Clock::now() + std::chrono::milliseconds(RemoteDevice::WaitLimitMs);
}

// "115200 8N1", with the flow control when there is one.
QString Notation(const rfc2217::PortSettings& p)
{
    static const char parities[] = "?NOEMS";
    static const char* const stops[] = {"?", "1", "2", "1.5"};
    static const char* const flows[] = {" (other flow control)", "", " XON/XOFF", " RTS/CTS"};
    return QStringLiteral("%1 %2%3%4%5")
        .arg(p.baudRate)
        .arg(p.dataSize)
        .arg(QLatin1Char(parities[p.parity <= 5 ? p.parity : 0]))
        .arg(QLatin1String(stops[p.stopSize <= 3 ? p.stopSize : 0]))
        .arg(QLatin1String(flows[p.flowControl <= 3 ? p.flowControl : 0]));
}

}

std::unique_ptr<RemoteDevice> RemoteDevice::Open(const Address& address, QString& failure)
{
    const auto deadline = WaitLimitFromNow();
    QString problem;
    const int fd = ConnectTcp(address.host, address.port, deadline, problem);
    if (fd < 0) {
        failure = QFile::decodeName(address.url) + QStringLiteral(": ") + problem;
        return nullptr;
    }
    std::unique_ptr<RemoteDevice> device(new RemoteDevice(fd, address));
    if (address.kind == Address::Kind::Tcp)
        return device;

    auto& protocol = device->protocol_.emplace();
    const auto exchange = [&](const std::function<bool()>& done) {
        switch (device->AwaitServer(done, deadline, OpeningHeld)) {
        case Wait::Answered: return true;
        case Wait::Gone: failure = device->Failed(QStringLiteral("the server closed the connection")); break;
        case Wait::Late: failure = device->Failed(QStringLiteral("the server did not answer in time")); break;
        case Wait::TooMuch: failure = device->Failed(SentTooMuch()); break;
        }
        return false;
    };
    using Negotiation = rfc2217::ClientProtocol::Negotiation;
    if (!exchange([&] { return protocol.State() != Negotiation::Pending; }))
        return nullptr;
    if (protocol.State() == Negotiation::Refused) {
        failure = device->Failed(QStringLiteral("the server does not offer serial port control (RFC 2217); "
                                                "for a plain byte stream write tcp://"));
        return nullptr;
    }
    protocol.WatchModemLines();
    protocol.RequestSettings({});
    if (!exchange([&] { return protocol.Answer().has_value(); }))
        return nullptr;
    if (const auto present = rfc2217::Decode(*protocol.Answer()))
        device->settings_ = *present;
    return device;
}

RemoteDevice::RemoteDevice(int fd, Address address)
    : fd_(fd)
    , address_(std::move(address))
{
}

RemoteDevice::~RemoteDevice()
{
    // Closing with unread bytes would reset the connection, and the server
    // could lose the last commands sent (DTR and RTS dropped at Disc.).
    // A server that never pauses gets the reset.
    char chunk[ChunkSize];
    for (qsizetype taken = 0; taken < ReadLimit;) {
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n <= 0)
            break;
        taken += n;
    }
    ::shutdown(fd_, SHUT_WR);
    ::close(fd_);
}

std::optional<size_t> RemoteDevice::ReadAvailable(void* buffer, size_t size)
{
    Pump(Backlog);
    if (received_.isEmpty()) {
        if (!gone_)
            return size_t(0);
        errno = EIO;
        return std::nullopt;
    }
    const size_t count = std::min(size, size_t(received_.size()));
    std::memcpy(buffer, received_.constData(), count);
    received_.remove(0, qsizetype(count));
    return count;
}

bool RemoteDevice::WaitReadable(int timeoutMs)
{
    const auto limit = timeoutMs < 0 ? std::nullopt : std::optional(timeoutMs);
    AwaitServer([this] { return !received_.isEmpty(); }, serialdevice::After(Clock::now(), limit), Backlog);
    return !received_.isEmpty() || !gone_;
}

WriteResult RemoteDevice::WriteAll(const void* data, size_t size, std::optional<int> stallMs,
                                   std::optional<int> overallMs, size_t& written)
{
    written = 0;
    // A server that has closed the connection still takes the first write.
    Pump(Backlog);
    if (gone_ || (protocol_ && !FlushProtocol())) {
        errno = EIO;
        return WriteResult::Failed;
    }
    const QByteArrayView plain(static_cast<const char*>(data), qsizetype(size));
    const QByteArray wire = protocol_ ? rfc2217::EscapeData(plain) : plain.toByteArray();
    size_t sent = 0;
    const auto result = SendAll(wire, std::min(stallMs.value_or(WaitLimitMs), WaitLimitMs), overallMs, sent);
    // Count the bytes of data that went out whole.
    for (size_t through = 0; written < size; ++written) {
        through += protocol_ && uint8_t(plain[qsizetype(written)]) == 0xFF ? 2 : 1;
        if (through > sent)
            break;
    }
    return result;
}

bool RemoteDevice::ApplySettings(const serialdevice::LineSettings& settings, QString& failure)
{
    if (protocol_) {
        const auto wanted = rfc2217::Encode(settings);
        protocol_->RequestSettings(wanted);
        const auto answered = [this] { return protocol_->Answer().has_value(); };
        switch (AwaitServer(answered, WaitLimitFromNow(), received_.size() + Backlog)) {
        case Wait::Answered: break;
        case Wait::Gone: failure = Failed(QStringLiteral("the connection was lost")); return false;
        case Wait::Late:
            failure = Failed(QStringLiteral("the server did not confirm %1 in time").arg(Notation(wanted)));
            return false;
        case Wait::TooMuch: failure = Failed(SentTooMuch()); return false;
        }
        // A rate a few percent off is the same rate, as for a local driver.
        const auto answer = *protocol_->Answer();
        const auto taken = rfc2217::Decode(answer);
        if (!taken || !settings.SameFraming(*taken) || answer.flowControl != wanted.flowControl) {
            failure = Failed(QStringLiteral("the server refused %1 (it answered %2)")
                                 .arg(Notation(wanted), Notation(answer)));
            return false;
        }
    }
    settings_ = settings;
    return true;
}

bool RemoteDevice::SetModemLine(serialdevice::ModemLine line, bool on)
{
    if (!protocol_)
        return !gone_;
    protocol_->SetLine(line, on);
    return FlushProtocol();
}

std::optional<serialdevice::InputLines> RemoteDevice::ReadInputLines()
{
    Pump(Backlog);
    if (gone_ || !protocol_) {
        errno = gone_ ? EIO : ENOTTY;
        return std::nullopt;
    }
    const uint8_t state = protocol_->ModemState();
    return serialdevice::InputLines{(state & 0x10) != 0, (state & 0x20) != 0, (state & 0x40) != 0,
                                    (state & 0x80) != 0};
}

void RemoteDevice::Pump(qsizetype held, serialdevice::Deadline deadline)
{
    char chunk[ChunkSize];
    for (qsizetype taken = 0; !gone_ && received_.size() < held && taken < ReadLimit;) {
        const ssize_t n = ::recv(fd_, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            break;
        if (n <= 0) {
            gone_ = true; // 0 is the server's end of the connection
            break;
        }
        taken += n;
        if (!protocol_) {
            received_.append(chunk, n);
            continue;
        }
        protocol_->Receive(QByteArrayView(chunk, n));
        received_ += protocol_->TakeData();
    }
    if (protocol_)
        FlushProtocol(deadline);
}

RemoteDevice::Wait RemoteDevice::AwaitServer(const std::function<bool()>& done, serialdevice::Deadline deadline,
                                             qsizetype held)
{
    Pump(held, deadline);
    while (!done()) {
        if (gone_)
            return Wait::Gone;
        if (received_.size() >= held)
            return Wait::TooMuch;
        const int waitMs = serialdevice::PollTimeout(deadline);
        if (waitMs == 0)
            return Wait::Late;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, waitMs) < 0 && errno != EINTR)
            return Wait::Gone;
        Pump(held, deadline);
    }
    return Wait::Answered;
}

WriteResult RemoteDevice::SendAll(QByteArrayView bytes, std::optional<int> stallMs, std::optional<int> overallMs,
                                  size_t& sent)
{
    const auto sendSome = [this](const char* data, size_t count) {
        return ::send(fd_, data, count, MSG_NOSIGNAL | MSG_DONTWAIT);
    };
    const auto result = serialdevice::WriteAll(fd_, sendSome, bytes.data(), size_t(bytes.size()), stallMs,
                                               overallMs, sent);
    if (result == WriteResult::Failed)
        gone_ = true;
    return result;
}

bool RemoteDevice::FlushProtocol(serialdevice::Deadline deadline)
{
    const auto overallMs = deadline ? std::optional(serialdevice::PollTimeout(deadline)) : std::nullopt;
    size_t sent = 0;
    return !gone_ && SendAll(protocol_->TakeOutgoing(), WaitLimitMs, overallMs, sent) == WriteResult::Done;
}

QString RemoteDevice::Failed(const QString& why) const
{
    return QFile::decodeName(address_.url) + QStringLiteral(": ") + why;
}

}
