#pragma once

#include "port/Kernel32.h"
#include "profiles/DeviceProfiles.h"

#include <QString>
#include <functional>

// Steps that the connect routines share.
namespace ConnectSteps {

// The line values a connect writes into the DCB.
struct LineValues {
    win32::DWORD baudRate;
    win32::BYTE byteSize;
    win32::BYTE parity;
    win32::BYTE stopBits;
};

void Apply(win32::DCB& dcb, const LineValues& values);

// The flags word for a Handshake list entry: "None" is fBinary alone; the
// other two turn on the flow control they name.
win32::DWORD HandshakeFlags(int handshakeIndex);

// The non-waiting read timeouts every profile sets, written into the record
// read from a port with GetCommTimeouts.
bool ReadNonWaitingTimeouts(win32::HANDLE handle, win32::COMMTIMEOUTS& timeouts);
// The same, then set on that port.
bool SetNonWaitingTimeouts(win32::HANDLE handle, win32::COMMTIMEOUTS& timeouts);

// RTS, then DTR.
void RaiseLines(win32::HANDLE handle);

// What happens between setting the record and setting the timeouts.
enum class AfterSet { Nothing, RaiseLines };

// Opens PortName into hCom, fills the record read from it, sets it, and sets
// the non-waiting timeouts. False when a step failed; the port may be open.
bool OpenConfigured(const std::function<void(win32::DCB&)>& fill, AfterSet after);

// OpenConfigured with a fixed profile's line values and the flags word shaped
// from the one read. A port that cannot be configured is closed again, since
// it opens exclusively and would otherwise block the next Init.
bool OpenFixed(const profiles::FixedProfile& profile);

// Closes a handle that a failed connect opened, so the next Init can open the port again.
void CloseOpened(win32::HANDLE handle);

}
