#include "devsim/GsmAlphabet.h"

#include <algorithm>

namespace devsim {

namespace {
constexpr char Escape = 0x1B;

const QString& BasicTable()
{
    static const QString table
        = QStringLiteral(u"@£$¥èéùìòÇ\nØø\rÅåΔ_ΦΓΛΩΠΨΣΘΞ\x1bÆæßÉ !\"#¤%&'()*+,-./0123456789:;<=>?"
                         u"¡ABCDEFGHIJKLMNOPQRSTUVWXYZÄÖÑÜ§¿abcdefghijklmnopqrstuvwxyzäöñüà");
    return table;
}

struct Extension {
    char septet;
    char16_t character;
};
constexpr Extension Extensions[] = {
    {0x0A, u'\f'}, {0x14, u'^'}, {0x28, u'{'}, {0x29, u'}'}, {0x2F, u'\\'},
    {0x3C, u'['},  {0x3D, u'~'}, {0x3E, u']'}, {0x40, u'|'}, {0x65, u'€'},
};
}

std::optional<QByteArray> ToGsmSeptets(const QString& text)
{
    QByteArray septets;
    for (const QChar c : text) {
        const qsizetype basic = c == QChar(Escape) ? -1 : BasicTable().indexOf(c);
        if (basic >= 0) {
            septets += char(basic);
            continue;
        }
        const auto extension = std::find_if(std::begin(Extensions), std::end(Extensions),
                                            [c](const Extension& e) { return e.character == c.unicode(); });
        if (extension == std::end(Extensions))
            return std::nullopt;
        septets += Escape;
        septets += extension->septet;
    }
    return septets;
}

QString FromGsmSeptets(const QByteArray& septets)
{
    QString text;
    for (qsizetype i = 0; i < septets.size(); ++i) {
        const char septet = char(septets[i] & 0x7F);
        if (septet != Escape) {
            text += BasicTable().at(septet);
            continue;
        }
        if (++i == septets.size())
            break;
        const auto extension = std::find_if(std::begin(Extensions), std::end(Extensions),
                                            [&](const Extension& e) { return e.septet == septets[i]; });
        text += extension == std::end(Extensions) ? QChar(u' ') : QChar(extension->character);
    }
    return text;
}

std::optional<TeCharset> TeCharsetNamed(const QByteArray& name)
{
    for (const TeCharset charset : {TeCharset::Gsm, TeCharset::Ira, TeCharset::Ucs2}) {
        if (name.compare(TeCharsetName(charset), Qt::CaseInsensitive) == 0)
            return charset;
    }
    return std::nullopt;
}

QByteArray TeCharsetName(TeCharset charset)
{
    switch (charset) {
    case TeCharset::Gsm:
        return "GSM";
    case TeCharset::Ira:
        return "IRA";
    case TeCharset::Ucs2:
        return "UCS2";
    }
    return {};
}

QByteArray ToTe(const QString& text, TeCharset charset)
{
    QByteArray out;
    for (const QChar c : text) {
        switch (charset) {
        case TeCharset::Gsm:
            out += ToGsmSeptets(c).value_or("?");
            break;
        case TeCharset::Ira:
            out += c.unicode() < 0x80 ? char(c.unicode()) : '?';
            break;
        case TeCharset::Ucs2:
            out += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
            break;
        }
    }
    return out;
}

std::optional<QString> FromTe(const QByteArray& bytes, TeCharset charset)
{
    switch (charset) {
    case TeCharset::Gsm:
        if (std::any_of(bytes.begin(), bytes.end(), [](char b) { return uchar(b) > 0x7F; }))
            return std::nullopt;
        return FromGsmSeptets(bytes);
    case TeCharset::Ira:
        if (std::any_of(bytes.begin(), bytes.end(), [](char b) { return uchar(b) > 0x7F; }))
            return std::nullopt;
        return QString::fromLatin1(bytes);
    case TeCharset::Ucs2: {
        if (bytes.size() % 4 != 0)
            return std::nullopt;
        QString text;
        for (qsizetype i = 0; i < bytes.size(); i += 4) {
            bool ok = false;
            const ushort unit = bytes.mid(i, 4).toUShort(&ok, 16);
            if (!ok)
                return std::nullopt;
            text += QChar(unit);
        }
        return text;
    }
    }
    return std::nullopt;
}

}
