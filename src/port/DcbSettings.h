#pragma once

#include "port/Kernel32.h"
#include "port/LineSettings.h"

// Between the Windows line-settings record and the device's line settings.
namespace win32::dcbsettings {

// False for what the Windows comm driver refuses: no bit rate, data bits
// outside 5-8, unknown parity or stop-bit codes, 1.5 stop bits with 6-8
// data bits, 2 stop bits with 5, software flow control with XON equal to XOFF.
bool Acceptable(const DCB& dcb);
serialdevice::LineSettings ToLineSettings(const DCB& dcb);
// The record a fresh handle reports for the device's present settings.
DCB FromLineSettings(const serialdevice::LineSettings& settings);

DWORD DtrControl(const DCB& dcb);
DWORD RtsControl(const DCB& dcb);

}
