#include "port/ComNames.h"
#include "port/ModZemoPorts.h"

namespace win32 {
HANDLE CreateFileA(const char*, DWORD, DWORD, SECURITY_ATTRIBUTES*, DWORD, DWORD, HANDLE) { return INVALID_HANDLE_VALUE; }
BOOL ReadFile(HANDLE, void*, DWORD, DWORD*, OVERLAPPED*) { return 0; }
BOOL WriteFile(HANDLE, const void*, DWORD, DWORD*, OVERLAPPED*) { return 0; }
BOOL CloseHandle(HANDLE) { return 0; }
BOOL GetCommState(HANDLE, DCB*) { return 0; }
BOOL SetCommState(HANDLE, DCB*) { return 0; }
BOOL GetCommTimeouts(HANDLE, COMMTIMEOUTS*) { return 0; }
BOOL SetCommTimeouts(HANDLE, COMMTIMEOUTS*) { return 0; }
BOOL EscapeCommFunction(HANDLE, DWORD) { return 0; }
BOOL GetCommModemStatus(HANDLE, DWORD*) { return 0; }
BOOL GetDefaultCommConfigA(const char*, COMMCONFIG*, DWORD*) { return 0; }
void Sleep(DWORD) {}
}

namespace modZEMO {
win32::HANDLE hCom = 0;
win32::HANDLE hCom2 = 0;
QString PortName;
QString SecondPortName;
win32::DCB CommDCB{};
win32::COMMTIMEOUTS CommTimeouts{};
win32::HANDLE OpenPort(const QString&) { return win32::INVALID_HANDLE_VALUE; }
bool WritePort(win32::HANDLE, const QByteArray&) { return false; }
QByteArray ReadPort(win32::HANDLE) { return {}; }
bool PortExists(int16_t) { return false; }
QString ComDevicePath(int) { return {}; }
}
