#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace devsim {

// The GSM 7-bit default alphabet with its extension table (an escape 0x1B
// and a second septet), one septet value (0..127) per byte.
std::optional<QByteArray> ToGsmSeptets(const QString& text);
// Septets that are not in the tables read as spaces, as handsets show them.
QString FromGsmSeptets(const QByteArray& septets);

// The character sets a terminal may choose with +CSCS for the strings of
// AT commands and answers: "GSM" (the septet values as bytes), "IRA"
// (ASCII) and "UCS2" (hexadecimal UTF-16 code units, four digits each).
enum class TeCharset { Gsm, Ira, Ucs2 };
std::optional<TeCharset> TeCharsetNamed(const QByteArray& name);
QByteArray TeCharsetName(TeCharset charset);
// Characters the set lacks become '?'.
QByteArray ToTe(const QString& text, TeCharset charset);
std::optional<QString> FromTe(const QByteArray& bytes, TeCharset charset);

}
