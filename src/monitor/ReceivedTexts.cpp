#include "monitor/ReceivedTexts.h"

#include "convert/Conversions.h"
#include "monitor/TickCounter.h"

#include <array>

namespace {

// Each byte's binary and hexadecimal text, so that appending allocates nothing.
struct Notations {
    std::array<std::array<char, 8>, 256> bin;
    std::array<std::array<char, 3>, 256> hex;

    Notations()
    {
        for (int code = 0; code < 256; ++code) {
            const QByteArray b = modZEMO::CharToBinary(char(code));
            const QByteArray h = modZEMO::CharToHex(char(code)) + ' ';
            Q_ASSERT(b.size() == 8 && h.size() == 3);
            std::copy_n(b.constData(), 8, bin[code].begin());
            std::copy_n(h.constData(), 3, hex[code].begin());
        }
    }
};

const Notations& Table()
{
    static const Notations table;
    return table;
}

constexpr int BytesPerChar[3] = {8, 3, 1};

}

const LineText* ReceivedTexts::Text(int format) const
{
    return format >= Bin && format <= Chr ? &texts_[format] : nullptr;
}

void ReceivedTexts::Append(QByteArrayView data, int n, bool twoPortMode)
{
    for (const char ch : data)
        AppendByte(static_cast<unsigned char>(ch), n, twoPortMode);
}

void ReceivedTexts::AppendByte(unsigned char byte, int n, bool twoPortMode)
{
    const Notations& table = Table();
    LineText& chr = texts_[Chr];
    texts_[Bin].Append(QByteArrayView(table.bin[byte].data(), 8));
    texts_[Hex].Append(QByteArrayView(table.hex[byte].data(), 3));
    chr.Append(QByteArrayView(reinterpret_cast<const char*>(&byte), 1));
    if (twoPortMode && chr.EndsWithLineBreak())
        chr.Append(modZEMO::TimeStampText());
    ++lineCount_;
    if (n > 0 && lineCount_ >= n) {
        for (LineText& text : texts_) {
            text.Append("\r\n");
            text.Append(modZEMO::TimeStampText());
        }
        lineCount_ = int16_t(lineCount_ - n);
    } else if (n == 0) {
        lineCount_ = 0;
    }
}

void ReceivedTexts::Reflow(int n)
{
    lineCount_ = 0;
    for (int format = Bin; format <= Chr; ++format)
        texts_[format].Reflow(qsizetype(BytesPerChar[format]) * n);
}

void ReceivedTexts::Clear()
{
    for (LineText& text : texts_)
        text.Clear();
    lineCount_ = 0;
}
