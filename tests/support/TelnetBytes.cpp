#include "support/TelnetBytes.h"

#include <numeric>

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int v : values)
        out.append(char(v));
    return out;
}

QByteArray EveryByte()
{
    QByteArray all(256, 0);
    std::iota(all.begin(), all.end(), char(0));
    return all;
}

QByteArray Sub(QByteArray body)
{
    return Bytes({IAC, SB, COM_PORT}) + body.replace("\xff", "\xff\xff") + Bytes({IAC, SE});
}

const QByteArray Agreement = Bytes({IAC, DO, BINARY, IAC, WILL, BINARY, IAC, DO, COM_PORT});
const QByteArray NoComPort = Bytes({IAC, DO, BINARY, IAC, WILL, BINARY, IAC, DONT, COM_PORT});
