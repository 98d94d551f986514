#include "monitor/ByteCells.h"

#include "convert/Conversions.h"

#include <algorithm>

ByteCells::ByteCells()
{
    for (int code = 0; code < 256; ++code) {
        const QByteArray b = modZEMO::CharToBinary(char(code));
        const QByteArray h = modZEMO::CharToHex(char(code)) + ' ';
        std::copy_n(b.constData(), 8, bin[size_t(code)].begin());
        std::copy_n(h.constData(), 3, hex[size_t(code)].begin());
    }
}

const ByteCells& ByteCells::Table()
{
    static const ByteCells table;
    return table;
}
