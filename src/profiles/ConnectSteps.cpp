#include "profiles/ConnectSteps.h"
#include "port/ModZemoPorts.h"

namespace ConnectSteps {

void Apply(win32::DCB& dcb, const LineValues& values)
{
    dcb.BaudRate = values.baudRate;
    dcb.ByteSize = values.byteSize;
    dcb.Parity = values.parity;
    dcb.StopBits = values.stopBits;
}

win32::DWORD HandshakeFlags(int handshakeIndex)
{
    switch (handshakeIndex) {
    case lists::XonXoff:
        return win32::fBinary | win32::fOutX | win32::fInX;
    case lists::HardwareHandshake:
        return win32::fBinary | win32::fOutxCtsFlow | (win32::RTS_CONTROL_HANDSHAKE << win32::fRtsControlShift);
    default:
        return win32::fBinary;
    }
}

bool ReadNonWaitingTimeouts(win32::HANDLE handle, win32::COMMTIMEOUTS& timeouts)
{
    if (!win32::GetCommTimeouts(handle, &timeouts))
        return false;
    timeouts.WriteTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.ReadIntervalTimeout = win32::MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    return true;
}

bool SetNonWaitingTimeouts(win32::HANDLE handle, win32::COMMTIMEOUTS& timeouts)
{
    return ReadNonWaitingTimeouts(handle, timeouts) && win32::SetCommTimeouts(handle, &timeouts);
}

void RaiseLines(win32::HANDLE handle)
{
    win32::EscapeCommFunction(handle, win32::SETRTS);
    win32::EscapeCommFunction(handle, win32::SETDTR);
}

void CloseOpened(win32::HANDLE handle)
{
    if (handle != win32::INVALID_HANDLE_VALUE)
        win32::CloseHandle(handle);
}

bool OpenConfigured(const std::function<void(win32::DCB&)>& fill, AfterSet after)
{
    using namespace modZEMO;
    hCom = OpenPort(PortName);
    if (hCom == win32::INVALID_HANDLE_VALUE || !win32::GetCommState(hCom, &CommDCB))
        return false;
    fill(CommDCB);
    if (!win32::SetCommState(hCom, &CommDCB))
        return false;
    if (after == AfterSet::RaiseLines)
        RaiseLines(hCom);
    return SetNonWaitingTimeouts(hCom, CommTimeouts);
}

bool OpenFixed(const profiles::FixedProfile& profile)
{
    const LineValues values{lists::SpeedRates[size_t(profile.speed)], 8, win32::NOPARITY, win32::ONESTOPBIT};
    const bool configured = OpenConfigured(
        [&](win32::DCB& dcb) {
            Apply(dcb, values);
            dcb.flags = profile.flags(dcb.flags);
        },
        AfterSet::Nothing);
    if (!configured)
        CloseOpened(modZEMO::hCom);
    return configured;
}

}
