#include "monitor/TextSearch.h"

#include "convert/Conversions.h"
#include "profiles/SettingLists.h"

#include <QChar>
#include <algorithm>
#include <cstring>

namespace textsearch {

namespace {

// Each block overlaps the one before by the needle's length less one, so a
// match across the seam is found once.
constexpr qsizetype Block = qsizetype(1) << 20;

int HexValue(QChar c)
{
    const char16_t u = c.toLower().unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// glibc's memmem is far quicker than a byte array's own search.
qsizetype FirstIn(QByteArrayView block, QByteArrayView needle)
{
    const void* hit = memmem(block.data(), size_t(block.size()), needle.data(), size_t(needle.size()));
    return hit ? static_cast<const char*>(hit) - block.data() : -1;
}

qsizetype LastIn(QByteArrayView block, QByteArrayView needle)
{
    qsizetype last = -1;
    for (qsizetype at = 0;;) {
        const qsizetype hit = FirstIn(block.sliced(at), needle);
        if (hit < 0)
            return last;
        last = at + hit;
        at = last + 1;
    }
}

}

qsizetype FindForward(qsizetype size, const SliceFunction& slice, QByteArrayView needle, qsizetype from)
{
    if (needle.isEmpty())
        return -1;
    for (qsizetype start = std::max<qsizetype>(0, from); start + needle.size() <= size; start += Block) {
        const QByteArray block = slice(start, std::min(size, start + Block + needle.size() - 1));
        const qsizetype hit = FirstIn(block, needle);
        if (hit >= 0)
            return start + hit;
    }
    return -1;
}

qsizetype FindBackward(qsizetype size, const SliceFunction& slice, QByteArrayView needle, qsizetype end)
{
    if (needle.isEmpty())
        return -1;
    for (qsizetype stop = std::min(end, size); stop >= needle.size(); stop -= Block) {
        const qsizetype start = std::max<qsizetype>(0, stop - Block - needle.size() + 1);
        const qsizetype hit = LastIn(slice(start, stop), needle);
        if (hit >= 0)
            return start + hit;
    }
    return -1;
}

std::optional<QByteArray> ParseHexBytes(QStringView text)
{
    QByteArray bytes;
    int high = -1;
    for (const QChar c : text) {
        if (c.isSpace() && high < 0)
            continue;
        const int digit = HexValue(c);
        if (digit < 0)
            return std::nullopt;
        if (high < 0) {
            high = digit;
        } else {
            bytes.append(char(high * 16 + digit));
            high = -1;
        }
    }
    if (high >= 0 || bytes.isEmpty())
        return std::nullopt;
    return bytes;
}

QByteArray InNotation(QByteArrayView bytes, int format)
{
    if (format == lists::Chr)
        return bytes.toByteArray();
    QByteArray text;
    for (const char byte : bytes) {
        if (format == lists::Bin) {
            text += modZEMO::CharToBinary(byte);
        } else {
            if (!text.isEmpty())
                text += ' ';
            text += modZEMO::CharToHex(byte);
        }
    }
    return text;
}

}
