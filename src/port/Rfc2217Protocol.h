#pragma once

#include "port/LineSettings.h"
#include "port/SerialDevice.h"

#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <cstdint>
#include <optional>

// The client side of a telnet connection with the COM port option of RFC
// 2217: what goes to the server for the program's requests, and what the
// server's bytes mean. No I/O: the caller moves the bytes to and from the
// socket, so every exchange can be checked byte for byte.
namespace rfc2217 {

// Line settings as the protocol codes them (SET-BAUDRATE, SET-DATASIZE,
// SET-PARITY, SET-STOPSIZE and the outbound flow control of SET-CONTROL).
// All zero asks the server for its present values.
struct PortSettings {
    uint32_t baudRate = 0;
    uint8_t dataSize = 0;
    uint8_t parity = 0;
    uint8_t stopSize = 0;
    uint8_t flowControl = 0;

    bool operator==(const PortSettings&) const = default;
};

PortSettings Encode(const serialdevice::LineSettings& settings);
// What a server reported, in the program's terms; nullopt for a value it
// cannot stand for.
std::optional<serialdevice::LineSettings> Decode(const PortSettings& settings);

// Data for the server: every 0xFF doubled.
QByteArray EscapeData(QByteArrayView data);

class ClientProtocol {
public:
    // Queues the requests for binary transfer both ways and the COM port option.
    ClientProtocol();

    enum class Negotiation { Pending, Ready, Refused };
    // Ready once the server has agreed to binary transfer both ways and to
    // the COM port option; Refused once it has declined one of them.
    Negotiation State() const;

    // A subnegotiation longer than this is none that a server means: it is
    // dropped there, and what follows is read as data, so that an end that
    // never comes hides nothing after it.
    static constexpr qsizetype MaxSubnegotiation = 1024;

    // Bytes from the server, in any pieces.
    void Receive(QByteArrayView bytes);
    // What is held of a subnegotiation not ended yet; at most MaxSubnegotiation.
    qsizetype Held() const { return sub_.size(); }
    // The data received so far, unescaped; taken out.
    QByteArray TakeData();
    // What must go to the server now; taken out.
    QByteArray TakeOutgoing();

    // The line settings (or, all zero, the question for them); Answer() then
    // holds what the server reports once it has answered all five.
    void RequestSettings(const PortSettings& settings);
    std::optional<PortSettings> Answer() const;

    // Asks to be told the state of CTS, DSR, RI and DCD whenever it changes.
    void WatchModemLines();
    // The last modem state the server reported, in the bits the Windows
    // modem status uses (CTS 0x10, DSR 0x20, RI 0x40, DCD 0x80).
    uint8_t ModemState() const { return modemState_; }

    void SetLine(serialdevice::ModemLine line, bool on);

private:
    enum class Side : uint8_t { No, WantYes, Yes };
    enum class Parse : uint8_t { Data, Iac, Option, Sub, SubIac };

    void SubnegotiationByte(char c);
    void Subnegotiation(const QByteArray& body);
    void Command(uint8_t verb, uint8_t option);
    void ComPortReply(uint8_t code, QByteArrayView value);

    std::array<Side, 256> us_{};   // options this side performs
    std::array<Side, 256> them_{}; // options the server performs
    Parse parse_ = Parse::Data;
    uint8_t verb_ = 0;
    QByteArray sub_;
    qsizetype subLength_ = 0; // bytes of the subnegotiation under way, kept or not
    bool skipping_ = false;    // the subnegotiation under way is not kept
    QByteArray data_;
    QByteArray outgoing_;
    PortSettings answer_;
    uint8_t answered_ = 0; // one bit per setting of the last request
    uint8_t modemState_ = 0;
};

}
