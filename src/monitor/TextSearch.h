#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>
#include <functional>
#include <optional>

// Finding a byte string in a long text that is produced a block at a time
// (a received text can be far larger than what is worth holding whole).
namespace textsearch {

// The characters [from, to) of the text searched.
using SliceFunction = std::function<QByteArray(qsizetype from, qsizetype to)>;

// Start of the first occurrence of needle that begins at or after from; -1 when none.
qsizetype FindForward(qsizetype size, const SliceFunction& slice, QByteArrayView needle, qsizetype from);
// Start of the last occurrence of needle that ends at or before end; -1 when none.
qsizetype FindBackward(qsizetype size, const SliceFunction& slice, QByteArrayView needle, qsizetype end);

// Byte values written as hex pairs, blanks between pairs allowed ("0D 0A",
// "0d0a"); nothing when the text is empty or is not such pairs.
std::optional<QByteArray> ParseHexBytes(QStringView text);
// The bytes as a received text of that display format writes them: the bytes
// themselves (Chr), hex cells "0D 0A" (Hex), or binary digits (Bin).
QByteArray InNotation(QByteArrayView bytes, int format);

}
