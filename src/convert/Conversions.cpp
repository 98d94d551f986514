#include "convert/Conversions.h"

namespace modZEMO {

QString GetBitChar(int32_t value, int16_t position)
{
    if (value < 0 || value > 255)
        return {};
    // A position outside 0..7 runs the whole loop and so yields bit 0.
    const int bit = (position >= 0 && position <= 7) ? position : 0;
    return (value >> bit) & 1 ? QStringLiteral("1") : QStringLiteral("0");
}

QByteArray CharToBinary(char ch)
{
    const auto code = static_cast<unsigned char>(ch);
    QByteArray out(8, '0');
    for (int bit = 0; bit < 8; ++bit)
        if (code & (0x80 >> bit))
            out[bit] = '1';
    return out;
}

QByteArray CharToHex(char ch)
{
    static const char digits[] = "0123456789ABCDEF";
    const auto code = static_cast<unsigned char>(ch);
    const char pair[2] = {digits[code >> 4], digits[code & 0x0F]};
    return QByteArray(pair, 2);
}

QString NibbleToHexDigit(int16_t value)
{
    if (value < 0 || value > 15)
        return {};
    return QString(QLatin1Char("0123456789ABCDEF"[value]));
}

int16_t HexDigitValue(const QString& text)
{
    if (text.size() != 1)
        return 0;
    const QChar c = text.at(0);
    if (c >= u'0' && c <= u'9')
        return static_cast<int16_t>(c.unicode() - u'0');
    if (c >= u'a' && c <= u'f')
        return static_cast<int16_t>(c.unicode() - u'a' + 10);
    return 0;
}

}
