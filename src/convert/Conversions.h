#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// Byte values to the texts the window shows, and hex digits back to values.
// Port data is held one byte per character, so "a character" here is a byte.
namespace modZEMO {

QString GetBitChar(int32_t value, int16_t position);
QByteArray CharToBinary(char ch);
QByteArray CharToHex(char ch);
QString NibbleToHexDigit(int16_t value);
int16_t HexDigitValue(const QString& text);

}
