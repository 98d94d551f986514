// Fuzzes the text-to-bytes step of the Send action. The first input byte
// chooses the notation (including "none selected"), the CR and LF boxes and
// how the remaining bytes become text; the rest is the typed text.
#include "convert/Conversions.h"
#include "transmit/SendParser.h"
#include "transmit/TrimSpaces.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace modZEMO;

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

QString Hex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

QString Bits(const QByteArray& bytes)
{
    QString out;
    for (const char c : bytes)
        out += QString::fromLatin1(CharToBinary(c));
    return out;
}

void CheckAccepted(const QString& text, int notation, bool cr, bool lf, const QByteArray& bytes)
{
    switch (static_cast<TransmitDataType>(notation)) {
    case TransmitDataType::Hex:
        Check(Hex(bytes) == text.toLower());
        break;
    case TransmitDataType::Dec:
        Check(bytes.size() == 1 && text.toInt() == static_cast<unsigned char>(bytes[0]));
        break;
    case TransmitDataType::Bin:
        Check(Bits(bytes) == text);
        break;
    case TransmitDataType::Char:
        Check(bytes == text.toLatin1() + (cr ? "\r" : "") + (lf ? "\n" : ""));
        break;
    default:
        Check(false);
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t control = data[0];
    const int notation = (control & 0x07) < 4 ? (control & 0x07) : -1;
    const bool cr = control & 0x08;
    const bool lf = control & 0x10;
    const auto* rest = reinterpret_cast<const char*>(data + 1);
    const auto length = static_cast<qsizetype>(size - 1);
    const QString typed = (control & 0x20) ? QString::fromUtf8(rest, length) : QString::fromLatin1(rest, length);

    const QString text = TrimSpaces(typed);
    Check(!text.startsWith(u' ') && !text.endsWith(u' '));
    Check(typed.contains(text));

    const SendPayload result = BuildPayload(text, notation, cr, lf);
    if (const auto* bytes = std::get_if<QByteArray>(&result)) {
        CheckAccepted(text, notation, cr, lf, *bytes);
    } else {
        const auto& refusal = std::get<SendRefusal>(result);
        Check(refusal.message.isEmpty() == (notation < 0));
    }
    return 0;
}
