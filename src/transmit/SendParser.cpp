#include "transmit/SendParser.h"

#include "convert/Conversions.h"

namespace modZEMO {

namespace {

bool IsDecimalDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool IsHexDigit(QChar c)
{
    return IsDecimalDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

SendRefusal Refuse(const char* message, bool focusSendData = true)
{
    return {QString::fromLatin1(message), focusSendData};
}

SendPayload HexPayload(const QString& text)
{
    for (const QChar c : text)
        if (!IsHexDigit(c))
            return Refuse("Use only HEX digits (0...9, a...f).");
    if (text.size() % 2 != 0)
        return Refuse("You must enter an even number of hex digits.", false);

    QByteArray bytes;
    bytes.reserve(text.size() / 2);
    for (qsizetype i = 0; i < text.size(); i += 2) {
        const int high = HexDigitValue(QString(text.at(i).toLower()));
        const int low = HexDigitValue(QString(text.at(i + 1).toLower()));
        bytes.append(static_cast<char>(high * 16 + low));
    }
    return bytes;
}

// The number a text starts with, read the lenient way: blanks anywhere are
// skipped, a fraction and an exponent are taken, and reading stops at the
// first character that cannot continue the number. It only decides which
// message a malformed decimal text gets (300x is out of range, 2x is not a number).
double LeadingDecimalValue(const QString& text)
{
    QString s = text;
    s.remove(u' ').remove(u'\t').remove(u'\n');
    qsizetype end = 0;
    const auto skipDigits = [&s](qsizetype i) {
        while (i < s.size() && IsDecimalDigit(s.at(i)))
            ++i;
        return i;
    };
    end = skipDigits(end);
    if (end < s.size() && s.at(end) == u'.')
        end = skipDigits(end + 1);
    if (end < s.size() && (s.at(end) == u'e' || s.at(end) == u'E')) {
        qsizetype exponent = end + 1;
        if (exponent < s.size() && (s.at(exponent) == u'+' || s.at(exponent) == u'-'))
            ++exponent;
        const qsizetype exponentEnd = skipDigits(exponent);
        if (exponentEnd > exponent)
            end = exponentEnd;
    }
    // An overflowing exponent reads as infinity, which is out of range as it should be.
    return s.first(end).toDouble();
}

SendPayload DecPayload(const QString& text)
{
    const SendRefusal notANumber = Refuse("You must enter an integer decimal value.");
    if (text.isEmpty())
        return notANumber;
    const double value = LeadingDecimalValue(text);
    // The range test comes after each character's digit test, so it decides
    // as soon as the first character is a digit.
    for (const QChar c : text) {
        if (!IsDecimalDigit(c))
            return notANumber;
        if (value > 255)
            return Refuse("You must enter an integer decimal value between 0-255.");
    }
    return QByteArray(1, static_cast<char>(static_cast<int>(value)));
}

SendPayload BinPayload(const QString& text)
{
    for (const QChar c : text)
        if (c != u'0' && c != u'1')
            return Refuse("You must enter a binary value");
    if (text.size() % 8 != 0)
        return Refuse("The number of bits is not a multiple of 8");

    QByteArray bytes;
    bytes.reserve(text.size() / 8);
    for (qsizetype i = 0; i < text.size(); i += 8) {
        int byte = 0;
        for (qsizetype bit = i; bit < i + 8; ++bit)
            byte = byte * 2 + (text.at(bit) == u'1' ? 1 : 0);
        bytes.append(static_cast<char>(byte));
    }
    return bytes;
}

SendPayload CharPayload(const QString& text, bool cr, bool lf)
{
    // A character beyond one byte would reach the port changed or cut; refuse it instead.
    for (const QChar c : text)
        if (c.unicode() > 255)
            return Refuse("Use only characters with codes 0...255.");
    QByteArray bytes = text.toLatin1();
    if (cr)
        bytes.append('\r');
    if (lf)
        bytes.append('\n');
    return bytes;
}

}

SendPayload BuildPayload(const QString& trimmedText, int notation, bool cr, bool lf)
{
    switch (static_cast<TransmitDataType>(notation)) {
    case TransmitDataType::Hex: return HexPayload(trimmedText);
    case TransmitDataType::Dec: return DecPayload(trimmedText);
    case TransmitDataType::Bin: return BinPayload(trimmedText);
    case TransmitDataType::Char: return CharPayload(trimmedText, cr, lf);
    }
    return SendRefusal{};
}

}
