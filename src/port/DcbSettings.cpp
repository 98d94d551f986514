#include "port/DcbSettings.h"

namespace win32::dcbsettings {

namespace {

constexpr DWORD TwoBitField = 3;

using serialdevice::Parity;

Parity ParityOf(BYTE code)
{
    switch (code) {
    case ODDPARITY: return Parity::Odd;
    case EVENPARITY: return Parity::Even;
    case MARKPARITY: return Parity::Mark;
    case SPACEPARITY: return Parity::Space;
    default: return Parity::None;
    }
}

BYTE ParityCode(Parity parity)
{
    switch (parity) {
    case Parity::Odd: return ODDPARITY;
    case Parity::Even: return EVENPARITY;
    case Parity::Mark: return MARKPARITY;
    case Parity::Space: return SPACEPARITY;
    case Parity::None: break;
    }
    return NOPARITY;
}

}

DWORD DtrControl(const DCB& dcb)
{
    return (dcb.flags >> fDtrControlShift) & TwoBitField;
}

DWORD RtsControl(const DCB& dcb)
{
    return (dcb.flags >> fRtsControlShift) & TwoBitField;
}

bool Acceptable(const DCB& dcb)
{
    if (dcb.BaudRate == 0 || dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > SPACEPARITY
        || dcb.StopBits > TWOSTOPBITS)
        return false;
    if (dcb.StopBits == ONE5STOPBITS && dcb.ByteSize != 5)
        return false;
    if (dcb.StopBits == TWOSTOPBITS && dcb.ByteSize == 5)
        return false;
    return !((dcb.flags & (fOutX | fInX)) && dcb.XonChar == dcb.XoffChar);
}

serialdevice::LineSettings ToLineSettings(const DCB& dcb)
{
    serialdevice::LineSettings s;
    s.bitRate = dcb.BaudRate;
    s.dataBits = dcb.ByteSize;
    s.parity = ParityOf(dcb.Parity);
    // One bit more than one: the UART sends 1.5 with 5 data bits, else 2.
    s.extraStopBit = dcb.StopBits != ONESTOPBIT;
    s.parityCheck = dcb.flags & fParity;
    s.rtsCts = (dcb.flags & fOutxCtsFlow) || RtsControl(dcb) == RTS_CONTROL_HANDSHAKE;
    s.xonXoffOut = dcb.flags & fOutX;
    s.xonXoffIn = dcb.flags & fInX;
    s.xonChar = dcb.XonChar;
    s.xoffChar = dcb.XoffChar;
    return s;
}

DCB FromLineSettings(const serialdevice::LineSettings& s)
{
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = s.bitRate;
    dcb.flags = fBinary | (DTR_CONTROL_ENABLE << fDtrControlShift);
    if (s.parityCheck)
        dcb.flags |= fParity;
    if (s.rtsCts)
        dcb.flags |= fOutxCtsFlow | (RTS_CONTROL_HANDSHAKE << fRtsControlShift);
    else
        dcb.flags |= RTS_CONTROL_ENABLE << fRtsControlShift;
    if (s.xonXoffOut)
        dcb.flags |= fOutX;
    if (s.xonXoffIn)
        dcb.flags |= fInX;
    dcb.XonLim = 2048;
    dcb.XoffLim = 512;
    dcb.ByteSize = BYTE(s.dataBits);
    dcb.Parity = ParityCode(s.parity);
    dcb.StopBits = !s.extraStopBit ? ONESTOPBIT : (s.dataBits == 5 ? ONE5STOPBITS : TWOSTOPBITS);
    dcb.XonChar = s.xonChar;
    dcb.XoffChar = s.xoffChar;
    return dcb;
}

}
