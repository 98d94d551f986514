#include "profiles/SettingLists.h"

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
