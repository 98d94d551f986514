#pragma once

#include "port/Deadline.h"
#include "port/LineSettings.h"
#include "port/RemoteAddress.h"
#include "port/Rfc2217Protocol.h"
#include "port/SerialDevice.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

// A serial port on another machine, with the calls of a local device: a
// socket to a network serial server speaking RFC 2217, or a raw TCP byte
// stream. A connection that drops (server stopped, network gone, the
// server's device gone) is a device that has vanished: reads and writes
// fail. Nothing here waits longer than WaitLimitMs unless the program's own
// read timeouts ask for it.
namespace remoteport {

class RemoteDevice {
public:
    static constexpr int WaitLimitMs = 3000;

    // Connects and, for rfc2217://, agrees on binary transfer and the COM
    // port option and asks for the present line settings, all within
    // WaitLimitMs. nullptr with failure set to a sentence naming the URL.
    static std::unique_ptr<RemoteDevice> Open(const Address& address, QString& failure);
    ~RemoteDevice();
    RemoteDevice(const RemoteDevice&) = delete;
    RemoteDevice& operator=(const RemoteDevice&) = delete;

    const Address& address() const { return address_; }

    // As the calls of serialdevice of the same names.
    std::optional<size_t> ReadAvailable(void* buffer, size_t size);
    bool WaitReadable(int timeoutMs);
    serialdevice::WriteResult WriteAll(const void* data, size_t size, std::optional<int> stallMs,
                                       std::optional<int> overallMs, size_t& written);

    // A raw TCP port keeps the settings as they are given; an RFC 2217 server
    // must answer each with the value asked for, else failure says which it did not take.
    bool ApplySettings(const serialdevice::LineSettings& settings, QString& failure);
    serialdevice::LineSettings Settings() const { return settings_; }

    // Sent without waiting: a server answers nothing for a device without the line.
    bool SetModemLine(serialdevice::ModemLine line, bool on);
    // What the server last reported; nullopt for a raw TCP port (no modem
    // lines, as on a pseudo-terminal) and for a connection that has dropped.
    std::optional<serialdevice::InputLines> ReadInputLines();

private:
    RemoteDevice(int fd, Address address);

    // Takes in what the socket has, up to held bytes of data and a bounded
    // amount a call whatever it is, and answers the server, within deadline.
    void Pump(qsizetype held, serialdevice::Deadline deadline = {});
    enum class Wait { Answered, Gone, Late, TooMuch };
    // Sends what the protocol has and reads from the server until done()
    // holds, the deadline passes, the connection drops or the data held
    // reaches held. The deadline is looked at after every read, so a server
    // that never pauses cannot stretch the wait.
    Wait AwaitServer(const std::function<bool()>& done, serialdevice::Deadline deadline, qsizetype held);
    serialdevice::WriteResult SendAll(QByteArrayView bytes, std::optional<int> stallMs, std::optional<int> overallMs,
                                      size_t& sent);
    bool FlushProtocol(serialdevice::Deadline deadline = {});
    QString Failed(const QString& why) const;

    int fd_;
    Address address_;
    std::optional<rfc2217::ClientProtocol> protocol_;
    QByteArray received_; // data not read yet
    bool gone_ = false;
    serialdevice::LineSettings settings_;
};

}
