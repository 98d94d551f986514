#include "devsim/SmsPdu.h"

#include "devsim/GsmAlphabet.h"

namespace devsim {

namespace {
constexpr quint8 InternationalNumber = 0x91;
constexpr quint8 UnknownNumber = 0x81;
constexpr quint8 TypeOfNumberMask = 0x70;
constexpr quint8 International = 0x10;
constexpr quint8 NoMoreMessages = 0x04;
constexpr quint8 SubmitType = 0x01;
constexpr quint8 MessageTypeMask = 0x03;
constexpr quint8 HeaderIndicator = 0x40;
constexpr quint8 Dcs7Bit = 0x00;
constexpr quint8 DcsUcs2 = 0x08;
const QByteArray SemiOctetDigits = "0123456789*#abc";

enum class Alphabet { Septets, Octets, Ucs2 };

// Septets packed into octets from the least significant bit.
QByteArray PackSeptets(const QByteArray& septets)
{
    QByteArray octets((7 * septets.size() + 7) / 8, '\0');
    for (qsizetype i = 0; i < septets.size(); ++i) {
        const int bit = 7 * int(i);
        const int value = septets[i] & 0x7F;
        octets[bit / 8] = char(octets[bit / 8] | value << (bit % 8));
        if (bit % 8 > 1)
            octets[bit / 8 + 1] = char(octets[bit / 8 + 1] | value >> (8 - bit % 8));
    }
    return octets;
}

// The septets after fillBits bits that pad a user data header to a septet boundary.
QByteArray UnpackSeptets(const QByteArray& octets, int count, int fillBits)
{
    QByteArray septets;
    for (int i = 0; i < count; ++i) {
        const int bit = fillBits + 7 * i;
        if (bit / 8 >= octets.size())
            break;
        int value = quint8(octets[bit / 8]) >> (bit % 8);
        if (bit % 8 > 1 && bit / 8 + 1 < octets.size())
            value |= quint8(octets[bit / 8 + 1]) << (8 - bit % 8);
        septets += char(value & 0x7F);
    }
    return septets;
}

QByteArray Bcd(int value)
{
    return QByteArray(1, char((value % 10) << 4 | (value / 10) % 10));
}

// Digits two to an octet, the first in the low half, odd counts filled with F.
QByteArray SemiOctets(const QByteArray& digits)
{
    QByteArray out;
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        const auto value
            = [&](qsizetype at) { return at < digits.size() ? int(SemiOctetDigits.indexOf(digits[at])) : 0xF; };
        out += char(value(i + 1) << 4 | value(i));
    }
    return out;
}

QByteArray NumberDigits(const QByteArray& number)
{
    QByteArray digits = number.startsWith('+') ? number.mid(1) : number;
    digits.removeIf([](char c) { return !SemiOctetDigits.contains(c); });
    return digits;
}

quint8 NumberType(const QByteArray& number)
{
    return number.startsWith('+') ? InternationalNumber : UnknownNumber;
}

QByteArray TimeStamp(const QDateTime& time)
{
    const QDate d = time.date();
    const QTime t = time.time();
    const int quarters = time.offsetFromUtc() / 900;
    QByteArray out = Bcd(d.year() % 100) + Bcd(d.month()) + Bcd(d.day()) + Bcd(t.hour()) + Bcd(t.minute())
        + Bcd(t.second()) + Bcd(std::abs(quarters));
    if (quarters < 0)
        out[6] = char(out[6] | 0x08);
    return out;
}

// Reads octets in order, remembering whether any read ran past the end.
class Reader {
public:
    explicit Reader(const QByteArray& bytes)
        : bytes_(bytes)
    {}
    quint8 Octet() { return at_ < bytes_.size() ? quint8(bytes_[at_++]) : (short_ = true, 0); }
    QByteArray Octets(qsizetype count)
    {
        if (count > bytes_.size() - at_) {
            short_ = true;
            return {};
        }
        at_ += count;
        return bytes_.mid(at_ - count, count);
    }
    QByteArray Rest() { return Octets(bytes_.size() - at_); }
    qsizetype Position() const { return at_; }
    bool Failed() const { return short_; }

private:
    const QByteArray& bytes_;
    qsizetype at_ = 0;
    bool short_ = false;
};

QByteArray ReadNumber(Reader& in, int digitCount)
{
    const quint8 type = in.Octet();
    QByteArray digits;
    for (const char octet : in.Octets((digitCount + 1) / 2)) {
        for (const int half : {octet & 0xF, (octet >> 4) & 0xF}) {
            if (half != 0xF)
                digits += SemiOctetDigits[half];
        }
    }
    digits.truncate(digitCount);
    return (type & TypeOfNumberMask) == International ? '+' + digits : digits;
}

std::optional<Alphabet> AlphabetOf(quint8 dcs)
{
    if ((dcs & 0xC0) == 0x00) {
        if (dcs & 0x20)
            return std::nullopt; // compressed
        const int alphabet = (dcs >> 2) & 3;
        if (alphabet == 3)
            return std::nullopt;
        return Alphabet(alphabet);
    }
    if ((dcs & 0xF0) == 0xF0)
        return dcs & 0x04 ? Alphabet::Octets : Alphabet::Septets;
    if ((dcs & 0xF0) == 0xC0 || (dcs & 0xF0) == 0xD0)
        return Alphabet::Septets;
    if ((dcs & 0xF0) == 0xE0)
        return Alphabet::Ucs2;
    return std::nullopt;
}

std::optional<QString> ReadUserData(const QByteArray& data, int length, Alphabet alphabet, bool header)
{
    const int headerOctets = header && !data.isEmpty() ? quint8(data[0]) + 1 : 0;
    if (header && (data.isEmpty() || headerOctets > data.size()))
        return std::nullopt;
    if (alphabet == Alphabet::Septets) {
        if (data.size() != (length * 7 + 7) / 8)
            return std::nullopt;
        const int fillBits = (7 - headerOctets * 8 % 7) % 7;
        const int headerSeptets = (headerOctets * 8 + fillBits) / 7;
        if (headerSeptets > length)
            return std::nullopt;
        return FromGsmSeptets(UnpackSeptets(data.mid(headerOctets), length - headerSeptets, fillBits));
    }
    if (data.size() != length)
        return std::nullopt;
    const QByteArray body = data.mid(headerOctets);
    if (alphabet == Alphabet::Octets)
        return QString::fromLatin1(body);
    if (body.size() % 2 != 0)
        return std::nullopt;
    QString text;
    for (qsizetype i = 0; i < body.size(); i += 2)
        text += QChar(ushort(quint8(body[i]) << 8 | quint8(body[i + 1])));
    return text;
}
}

Pdu EncodeDelivered(const DeliveredSms& sms)
{
    const QByteArray centre = NumberDigits(sms.serviceCentre);
    const QByteArray centreField = char(NumberType(sms.serviceCentre)) + SemiOctets(centre);
    const QByteArray sender = NumberDigits(sms.sender);
    QByteArray tpdu;
    tpdu += char(NoMoreMessages);
    tpdu += char(sender.size());
    tpdu += char(NumberType(sms.sender));
    tpdu += SemiOctets(sender);
    tpdu += '\0'; // protocol identifier: a plain message
    if (const auto septets = ToGsmSeptets(sms.text)) {
        tpdu += char(Dcs7Bit) + TimeStamp(sms.sent) + char(septets->size()) + PackSeptets(*septets);
    } else {
        QByteArray units;
        for (const QChar c : sms.text) {
            units += char(c.unicode() >> 8);
            units += char(c.unicode() & 0xFF);
        }
        tpdu += char(DcsUcs2) + TimeStamp(sms.sent) + char(units.size()) + units;
    }
    const QByteArray pdu = char(centreField.size()) + centreField + tpdu;
    return {pdu.toHex().toUpper(), int(tpdu.size())};
}

std::optional<SubmittedSms> DecodeSubmitted(const QByteArray& hex, int tpduLength)
{
    if (hex.size() % 2 != 0 || !std::all_of(hex.begin(), hex.end(), [](char c) { return isxdigit(uchar(c)); }))
        return std::nullopt;
    const QByteArray pdu = QByteArray::fromHex(hex);
    Reader in(pdu);
    SubmittedSms sms;
    const int centreLength = in.Octet();
    if (centreLength > 0)
        sms.serviceCentre = ReadNumber(in, (centreLength - 1) * 2);
    if (in.Failed() || pdu.size() - in.Position() != tpduLength)
        return std::nullopt;
    const quint8 first = in.Octet();
    if ((first & MessageTypeMask) != SubmitType)
        return std::nullopt;
    sms.reference = in.Octet();
    sms.destination = ReadNumber(in, in.Octet());
    in.Octet(); // protocol identifier
    const auto alphabet = AlphabetOf(in.Octet());
    const int validityFormat = (first >> 3) & 3;
    in.Octets(validityFormat == 0 ? 0 : validityFormat == 2 ? 1 : 7);
    const int length = in.Octet();
    const QByteArray data = in.Rest();
    if (in.Failed() || !alphabet)
        return std::nullopt;
    const auto text = ReadUserData(data, length, *alphabet, first & HeaderIndicator);
    if (!text)
        return std::nullopt;
    sms.text = *text;
    return sms;
}

}
