#include "port/Rfc2217Protocol.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace rfc2217 {

namespace {

// Telnet.
constexpr uint8_t IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250, SE = 240;
constexpr uint8_t BINARY = 0, SGA = 3, COM_PORT_OPTION = 44;

// COM port commands; the server answers with the code plus ServerOffset.
constexpr uint8_t SET_BAUDRATE = 1, SET_DATASIZE = 2, SET_PARITY = 3, SET_STOPSIZE = 4, SET_CONTROL = 5,
                  NOTIFY_MODEMSTATE = 7, SET_MODEMSTATE_MASK = 11;
constexpr uint8_t ServerOffset = 100;
// SET-CONTROL values.
constexpr uint8_t NoFlow = 1, XonXoffFlow = 2, HardwareFlow = 3, DcdFlow = 17, DsrFlow = 19;
constexpr uint8_t BreakOn = 5, BreakOff = 6, DtrOn = 8, DtrOff = 9, RtsOn = 11, RtsOff = 12;
// The state bits of NOTIFY-MODEMSTATE: DCD, RI, DSR, CTS; the low four are changes.
constexpr uint8_t ModemLines = 0xF0;

// One bit per setting in answered_.
constexpr uint8_t BaudBit = 1, SizeBit = 2, ParityBit = 4, StopBit = 8, FlowBit = 16, AllAnswered = 31;

constexpr uint8_t OneStop = 1, TwoStop = 2, OneAndHalfStop = 3;

bool WeAccept(uint8_t option)
{
    return option == BINARY || option == SGA || option == COM_PORT_OPTION;
}

bool TheyMay(uint8_t option)
{
    return option == BINARY || option == SGA;
}

// The server's answers that the client reads; any other is skipped unread.
bool KnownReply(uint8_t code)
{
    switch (code - ServerOffset) {
    case SET_BAUDRATE:
    case SET_DATASIZE:
    case SET_PARITY:
    case SET_STOPSIZE:
    case SET_CONTROL:
    case NOTIFY_MODEMSTATE:
        return true;
    default:
        return false;
    }
}

QByteArray Bytes(std::initializer_list<uint8_t> values)
{
    QByteArray out;
    for (const uint8_t v : values)
        out.append(char(v));
    return out;
}

QByteArray ComPortCommand(uint8_t code, QByteArrayView value)
{
    return Bytes({IAC, SB, COM_PORT_OPTION, code}) + EscapeData(value) + Bytes({IAC, SE});
}

QByteArray OneByte(uint8_t value)
{
    return QByteArray(1, char(value));
}

}

PortSettings Encode(const serialdevice::LineSettings& s)
{
    PortSettings p;
    p.baudRate = s.bitRate;
    p.dataSize = uint8_t(s.dataBits);
    p.parity = uint8_t(int(s.parity) + 1); // none, odd, even, mark, space are 1 to 5
    p.stopSize = !s.extraStopBit ? OneStop : (s.dataBits == 5 ? OneAndHalfStop : TwoStop);
    p.flowControl = s.rtsCts ? HardwareFlow : (s.xonXoffOut || s.xonXoffIn) ? XonXoffFlow : NoFlow;
    return p;
}

std::optional<serialdevice::LineSettings> Decode(const PortSettings& p)
{
    if (p.baudRate == 0 || p.dataSize < 5 || p.dataSize > 8 || p.parity < 1 || p.parity > 5 || p.stopSize < OneStop
        || p.stopSize > OneAndHalfStop || p.flowControl < NoFlow || p.flowControl > HardwareFlow)
        return std::nullopt;
    serialdevice::LineSettings s;
    s.bitRate = p.baudRate;
    s.dataBits = p.dataSize;
    s.parity = serialdevice::Parity(p.parity - 1);
    s.extraStopBit = p.stopSize != OneStop;
    s.rtsCts = p.flowControl == HardwareFlow;
    s.xonXoffOut = s.xonXoffIn = p.flowControl == XonXoffFlow;
    return s;
}

QByteArray EscapeData(QByteArrayView data)
{
    QByteArray out;
    out.reserve(data.size() + data.count(char(IAC)));
    for (const char c : data) {
        out.append(c);
        if (uint8_t(c) == IAC)
            out.append(c);
    }
    return out;
}

ClientProtocol::ClientProtocol()
{
    us_[BINARY] = them_[BINARY] = us_[COM_PORT_OPTION] = Side::WantYes;
    outgoing_ = Bytes({IAC, WILL, BINARY, IAC, DO, BINARY, IAC, WILL, COM_PORT_OPTION});
}

ClientProtocol::Negotiation ClientProtocol::State() const
{
    const std::array<Side, 3> needed{us_[BINARY], them_[BINARY], us_[COM_PORT_OPTION]};
    if (std::find(needed.begin(), needed.end(), Side::No) != needed.end())
        return Negotiation::Refused;
    if (std::all_of(needed.begin(), needed.end(), [](Side s) { return s == Side::Yes; }))
        return Negotiation::Ready;
    return Negotiation::Pending;
}

void ClientProtocol::Receive(QByteArrayView received)
{
    for (const char c : received) {
        const auto b = uint8_t(c);
        switch (parse_) {
        case Parse::Data:
            if (b == IAC)
                parse_ = Parse::Iac;
            else
                data_.append(c);
            break;
        case Parse::Iac:
            parse_ = Parse::Data;
            if (b == IAC)
                data_.append(c);
            else if (b >= WILL) {
                verb_ = b;
                parse_ = Parse::Option;
            } else if (b == SB) {
                sub_.clear();
                subLength_ = 0;
                skipping_ = false;
                parse_ = Parse::Sub;
            }
            // Any other command (NOP, GA, ...) asks nothing of a client.
            break;
        case Parse::Option:
            Command(verb_, b);
            parse_ = Parse::Data;
            break;
        case Parse::Sub:
            if (b == IAC)
                parse_ = Parse::SubIac;
            else
                SubnegotiationByte(c);
            break;
        case Parse::SubIac:
            parse_ = b == IAC ? Parse::Sub : Parse::Data;
            if (b == IAC) {
                SubnegotiationByte(c);
            } else {
                if (b == SE && !skipping_)
                    Subnegotiation(sub_);
                sub_.clear();
            }
            break;
        }
    }
}

QByteArray ClientProtocol::TakeData()
{
    return std::exchange(data_, {});
}

QByteArray ClientProtocol::TakeOutgoing()
{
    return std::exchange(outgoing_, {});
}

void ClientProtocol::RequestSettings(const PortSettings& p)
{
    const char baud[4]{char(p.baudRate >> 24), char(p.baudRate >> 16), char(p.baudRate >> 8), char(p.baudRate)};
    outgoing_ += ComPortCommand(SET_BAUDRATE, QByteArrayView(baud, 4));
    outgoing_ += ComPortCommand(SET_DATASIZE, OneByte(p.dataSize));
    outgoing_ += ComPortCommand(SET_PARITY, OneByte(p.parity));
    outgoing_ += ComPortCommand(SET_STOPSIZE, OneByte(p.stopSize));
    outgoing_ += ComPortCommand(SET_CONTROL, OneByte(p.flowControl));
    answer_ = {};
    answered_ = 0;
}

std::optional<PortSettings> ClientProtocol::Answer() const
{
    if (answered_ != AllAnswered)
        return std::nullopt;
    return answer_;
}

void ClientProtocol::WatchModemLines()
{
    outgoing_ += ComPortCommand(SET_MODEMSTATE_MASK, OneByte(ModemLines));
}

void ClientProtocol::SetLine(serialdevice::ModemLine line, bool on)
{
    using serialdevice::ModemLine;
    const uint8_t value = line == ModemLine::Dtr ? (on ? DtrOn : DtrOff)
        : line == ModemLine::Rts                 ? (on ? RtsOn : RtsOff)
                                                 : (on ? BreakOn : BreakOff);
    outgoing_ += ComPortCommand(SET_CONTROL, OneByte(value));
}

// Option negotiation after RFC 1143: answer only a change, so that the two
// sides cannot loop; the options wanted were asked for at the start.
void ClientProtocol::Command(uint8_t verb, uint8_t option)
{
    const bool ours = verb == DO || verb == DONT;
    Side& side = ours ? us_[option] : them_[option];
    const bool enable = verb == WILL || verb == DO;
    const auto answer = [&](uint8_t reply) { outgoing_ += Bytes({IAC, reply, option}); };
    if (enable) {
        if (side == Side::WantYes)
            side = Side::Yes;
        else if (side == Side::No && (ours ? WeAccept(option) : TheyMay(option))) {
            side = Side::Yes;
            answer(ours ? WILL : DO);
        } else if (side == Side::No)
            answer(ours ? WONT : DONT);
    } else if (side != Side::No) {
        if (side == Side::Yes)
            answer(ours ? WONT : DONT);
        side = Side::No;
    }
}

// Only an answer the client reads is kept, and none longer than the limit,
// so that a server cannot make the client hold what it sends.
void ClientProtocol::SubnegotiationByte(char c)
{
    if (++subLength_ > MaxSubnegotiation) {
        sub_.clear();
        parse_ = Parse::Data;
        data_.append(c);
        return;
    }
    if (skipping_)
        return;
    sub_.append(c);
    if (uint8_t(sub_[0]) != COM_PORT_OPTION || (sub_.size() == 2 && !KnownReply(uint8_t(sub_[1])))) {
        sub_.clear();
        skipping_ = true;
    }
}

void ClientProtocol::Subnegotiation(const QByteArray& body)
{
    if (body.size() >= 2)
        ComPortReply(uint8_t(body[1]), QByteArrayView(body).sliced(2));
}

void ClientProtocol::ComPortReply(uint8_t code, QByteArrayView value)
{
    if (value.isEmpty())
        return;
    const auto first = uint8_t(value[0]);
    switch (code - ServerOffset) {
    case SET_BAUDRATE:
        if (value.size() == 4) {
            answer_.baudRate = uint32_t(first) << 24 | uint32_t(uint8_t(value[1])) << 16
                | uint32_t(uint8_t(value[2])) << 8 | uint8_t(value[3]);
            answered_ |= BaudBit;
        }
        break;
    case SET_DATASIZE:
        answer_.dataSize = first;
        answered_ |= SizeBit;
        break;
    case SET_PARITY:
        answer_.parity = first;
        answered_ |= ParityBit;
        break;
    case SET_STOPSIZE:
        answer_.stopSize = first;
        answered_ |= StopBit;
        break;
    case SET_CONTROL:
        // The same command also answers for DTR, RTS and break.
        if (first == NoFlow || first == XonXoffFlow || first == HardwareFlow || first == DcdFlow || first == DsrFlow) {
            answer_.flowControl = first;
            answered_ |= FlowBit;
        }
        break;
    case NOTIFY_MODEMSTATE:
        modemState_ = first & ModemLines;
        break;
    }
}

}
