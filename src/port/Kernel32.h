#pragma once

#include <cstdint>

// The Windows comm API the program is written against, with the Windows
// records, constants and results, carried out over termios, or over a
// network connection for a port on another machine.
namespace win32 {

using BOOL = int32_t;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using HANDLE = int32_t; // handle values come from a table and are never reused

constexpr HANDLE INVALID_HANDLE_VALUE = -1;
constexpr DWORD MAXDWORD = 0xFFFFFFFF;

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD OPEN_EXISTING = 3;

constexpr DWORD SETRTS = 3;
constexpr DWORD CLRRTS = 4;
constexpr DWORD SETDTR = 5;
constexpr DWORD CLRDTR = 6;
constexpr DWORD SETBREAK = 8;
constexpr DWORD CLRBREAK = 9;

// ClearCommError: input was lost, in the driver's buffer or in the UART.
constexpr DWORD CE_RXOVER = 0x0001;
constexpr DWORD CE_OVERRUN = 0x0002;

constexpr DWORD MS_CTS_ON = 0x10;
constexpr DWORD MS_DSR_ON = 0x20;
constexpr DWORD MS_RING_ON = 0x40;
constexpr DWORD MS_RLSD_ON = 0x80;

constexpr BYTE NOPARITY = 0, ODDPARITY = 1, EVENPARITY = 2, MARKPARITY = 3, SPACEPARITY = 4;
constexpr BYTE ONESTOPBIT = 0, ONE5STOPBITS = 1, TWOSTOPBITS = 2;

// Bits of the DCB flags word, in Windows order.
constexpr DWORD fBinary = 1u << 0;
constexpr DWORD fParity = 1u << 1;
constexpr DWORD fOutxCtsFlow = 1u << 2;
constexpr DWORD fOutxDsrFlow = 1u << 3;
constexpr DWORD fDtrControlShift = 4; // 2 bits
constexpr DWORD fDsrSensitivity = 1u << 6;
constexpr DWORD fTXContinueOnXoff = 1u << 7;
constexpr DWORD fOutX = 1u << 8;
constexpr DWORD fInX = 1u << 9;
constexpr DWORD fErrorChar = 1u << 10;
constexpr DWORD fNull = 1u << 11;
constexpr DWORD fRtsControlShift = 12; // 2 bits
constexpr DWORD fAbortOnError = 1u << 14;
constexpr DWORD DTR_CONTROL_DISABLE = 0, DTR_CONTROL_ENABLE = 1, DTR_CONTROL_HANDSHAKE = 2;
constexpr DWORD RTS_CONTROL_DISABLE = 0, RTS_CONTROL_ENABLE = 1, RTS_CONTROL_HANDSHAKE = 2,
                RTS_CONTROL_TOGGLE = 3;

struct DCB {
    DWORD DCBlength;
    DWORD BaudRate;
    DWORD flags; // all bit fields as one word
    WORD wReserved;
    WORD XonLim;
    WORD XoffLim;
    BYTE ByteSize;
    BYTE Parity;
    BYTE StopBits;
    char XonChar;
    char XoffChar;
    char ErrorChar;
    char EofChar;
    char EvtChar;
    WORD wReserved1;
};
static_assert(sizeof(DCB) == 28);

struct COMMTIMEOUTS {
    DWORD ReadIntervalTimeout;
    DWORD ReadTotalTimeoutMultiplier;
    DWORD ReadTotalTimeoutConstant;
    DWORD WriteTotalTimeoutMultiplier;
    DWORD WriteTotalTimeoutConstant;
};


struct COMMCONFIG {
    DWORD dwSize;
    WORD wVersion;
    WORD wReserved;
    DCB dcb;
    DWORD dwProviderSubType;
    DWORD dwProviderOffset;
    DWORD dwProviderSize;
    char16_t wcProviderData[1];
};
static_assert(sizeof(COMMCONFIG) == 52);

struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    void* lpSecurityDescriptor;
    BOOL bInheritHandle;
};

struct OVERLAPPED {
    uintptr_t Internal;
    uintptr_t InternalHigh;
    DWORD Offset;
    DWORD OffsetHigh;
    HANDLE hEvent;
};

HANDLE CreateFileA(const char* fileName, DWORD desiredAccess, DWORD shareMode,
                   SECURITY_ATTRIBUTES* securityAttributes, DWORD creationDisposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);
BOOL ReadFile(HANDLE file, void* buffer, DWORD bytesToRead, DWORD* bytesRead, OVERLAPPED* overlapped);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, DWORD* bytesWritten,
               OVERLAPPED* overlapped);
BOOL CloseHandle(HANDLE object);
BOOL GetCommState(HANDLE file, DCB* dcb);
BOOL SetCommState(HANDLE file, DCB* dcb);
BOOL GetCommTimeouts(HANDLE file, COMMTIMEOUTS* timeouts);
BOOL SetCommTimeouts(HANDLE file, COMMTIMEOUTS* timeouts);
BOOL EscapeCommFunction(HANDLE file, DWORD function);
BOOL GetCommModemStatus(HANDLE file, DWORD* modemStat);
// What the driver holds: bytes written but not yet sent (0 where it cannot
// tell: a remote port).
struct COMSTAT {
    DWORD flags = 0;
    DWORD cbInQue = 0;
    DWORD cbOutQue = 0;
};

// The CE_ errors since the last call (or the open), cleared by the call, and
// (stat may be null) what the driver holds. A port without loss counters (a
// pseudo-terminal, a remote port) reports no errors.
BOOL ClearCommError(HANDLE file, DWORD* errors, COMSTAT* stat);
BOOL GetDefaultCommConfigA(const char* name, COMMCONFIG* config, DWORD* size);
void Sleep(DWORD milliseconds);

}
