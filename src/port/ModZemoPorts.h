#pragma once

#include "port/Kernel32.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

// The module's port state and its three port functions. Port data is bytes:
// one char per byte, never passed through a text encoding.
namespace modZEMO {

extern win32::HANDLE hCom;
extern win32::HANDLE hCom2;
extern QString PortName;
extern QString SecondPortName;
extern win32::DCB CommDCB;
extern win32::COMMTIMEOUTS CommTimeouts;

constexpr int PortChunk = 100; // bytes moved by one read or write call

win32::HANDLE OpenPort(const QString& name);
// Sends every byte of data, in writes of at most PortChunk bytes; on failure
// shows "Error sending data to the COM port" once and returns false.
bool WritePort(win32::HANDLE handle, const QByteArray& data);
// One read of at most PortChunk bytes; empty when nothing arrived or the read failed.
QByteArray ReadPort(win32::HANDLE handle);
// The same read, of at most most bytes, telling a failed read (nullopt) from
// one that found nothing.
std::optional<QByteArray> TryReadPort(win32::HANDLE handle, int most = PortChunk);
bool PortExists(int16_t n);
// Whether handle is an open port.
bool PortIsOpen(win32::HANDLE handle);

}
