#pragma once

#include "port/Kernel32.h"

#include <QString>
#include <chrono>
#include <vector>

// Test hook: stands in for the modem lines of a port (pseudo-terminals have
// none). While a COM name is emulated, EscapeCommFunction on its handles is
// recorded and GetCommModemStatus returns the input lines set here.
namespace win32::testhook {

struct LineEvent {
    enum Kind { Dtr, Rts, Break, Closed } kind;
    bool on; // new state of DTR, RTS or the break; unused for Closed
    std::chrono::steady_clock::time_point when;
};

void EmulateModemLines(const QString& comName);
void SetInputLines(const QString& comName, DWORD modemStatus); // MS_* bits
// The driver reports received bytes lost (CE_* bits), once, at the next ClearCommError.
void AddInputErrors(const QString& comName, DWORD errors);
std::vector<LineEvent> LineHistory(const QString& comName);
void ClearLineHistory(const QString& comName);
void StopEmulating(); // forgets every emulated port and the stray closes
// CloseHandle calls on a handle that was not open, since StopEmulating.
int StrayCloses();

}
