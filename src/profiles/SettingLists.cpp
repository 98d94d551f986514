#include "profiles/SettingLists.h"

#include <algorithm>

namespace lists {

QStringList InterfaceEntries()
{
    return {QStringLiteral("Generic"), QStringLiteral("IRMan"), QStringLiteral("Creative Infra"),
            QStringLiteral("CM12(X10)"), QStringLiteral("GSM Data"), QStringLiteral("Transparent")};
}

QStringList SpeedEntries()
{
    QStringList entries;
    for (const uint32_t rate : SpeedRates)
        entries << QString::number(rate);
    return entries;
}

std::optional<uint32_t> TypedSpeed(const QString& text)
{
    const QString digits = text.trimmed();
    // Digits only: no sign, fraction or exponent, and short enough to be read exactly.
    if (digits.isEmpty() || digits.size() > 8 || !std::all_of(digits.begin(), digits.end(), [](QChar c) {
            return c >= u'0' && c <= u'9';
        }))
        return std::nullopt;
    const uint32_t speed = digits.toUInt();
    if (speed < SlowestTypedSpeed || speed > FastestTypedSpeed)
        return std::nullopt;
    return speed;
}

QStringList BitsEntries()
{
    return {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8")};
}

QStringList ParityEntries()
{
    return {QStringLiteral("None"), QStringLiteral("Odd"), QStringLiteral("Even"), QStringLiteral("Mark"),
            QStringLiteral("Space")};
}

QStringList StopEntries()
{
    return {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")};
}

QStringList HandshakeEntries()
{
    return {QStringLiteral("None"), QStringLiteral("XON/XOFF"), QStringLiteral("Hardware")};
}

QStringList TransmitTypeEntries()
{
    return {QStringLiteral("HEX"), QStringLiteral("DEC"), QStringLiteral("BIN"), QStringLiteral("CHAR")};
}

QStringList NotationEntries()
{
    return {QStringLiteral("Bin"), QStringLiteral("Hex"), QStringLiteral("Chr")};
}

QStringList BytesPerLineEntries()
{
    QStringList entries;
    for (int count = 0; count <= MostBytesPerLine; ++count)
        entries << QString::number(count);
    return entries;
}

}
