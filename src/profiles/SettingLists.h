#pragma once

#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

// The entries of the window's setting lists, and names for the entries the
// program selects or compares itself. A list's index is the entry's position.
namespace lists {

enum Interface : int16_t { Generic = 0, IRMan = 1, CreativeInfra = 2, CM12X10 = 3, GSMData = 4, Transparent = 5 };
enum Speed : int { Speed4800 = 5, Speed9600 = 6, Speed115200 = 10 };
// The classic rates, then those today's boards use.
inline constexpr std::array<uint32_t, 22> SpeedRates{110,    300,    600,     1200,    2400,    4800,    9600,    19200,
                                                     38400,  57600,  115200,  128000,  230400,  250000,  460800,  500000,
                                                     921600, 1000000, 1500000, 2000000, 3000000, 4000000};
// A speed typed into the list: a whole number in this range, spaces around it allowed.
inline constexpr uint32_t SlowestTypedSpeed = 50;
inline constexpr uint32_t FastestTypedSpeed = 12'000'000;
enum Bits : int { EightBits = 3 };
enum Parity : int { NoParity = 0 };
enum Stop : int { OneStopBit = 0, OneAndHalfStopBits = 1 };
enum Handshake : int { NoHandshake = 0, XonXoff = 1, HardwareHandshake = 2 };
// TXDataTypeListBox.
enum TransmitType : int { TxHex = 0, TxDec = 1, TxBin = 2, TxChar = 3 };
// OutCombo, the display format.
enum Notation : int { Bin = 0, Hex = 1, Chr = 2 };
inline constexpr int MostBytesPerLine = 64;

QStringList InterfaceEntries();
QStringList SpeedEntries();
// The speed a typed or chosen entry names; nullopt for anything but a whole
// number from SlowestTypedSpeed to FastestTypedSpeed.
std::optional<uint32_t> TypedSpeed(const QString& text);
QStringList BitsEntries();
QStringList ParityEntries();
QStringList StopEntries();
QStringList HandshakeEntries();
QStringList TransmitTypeEntries();
QStringList NotationEntries();
// "0" to "64": the index is the number of bytes per line.
QStringList BytesPerLineEntries();

}
