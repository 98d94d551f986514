#pragma once

#include <QByteArray>
#include <cstdint>
#include <initializer_list>

// Telnet and COM port option bytes as a server sends them.

enum : uint8_t { IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250, SE = 240, NOP = 241 };
enum : uint8_t { BINARY = 0, TELNET_ECHO = 1, SGA = 3, COM_PORT = 44 };

QByteArray Bytes(std::initializer_list<int> values);
// The 256 byte values in order.
QByteArray EveryByte();
// A COM port option subnegotiation, 0xFF in the body doubled.
QByteArray Sub(QByteArray body);
// Binary transfer both ways and the COM port option agreed; the same with the option refused.
extern const QByteArray Agreement;
extern const QByteArray NoComPort;
