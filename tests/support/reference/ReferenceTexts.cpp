#include "support/reference/ReferenceTexts.h"

#include "convert/Conversions.h"
#include "monitor/TickCounter.h"

void ReferenceTexts::Append(QByteArrayView data, int n, bool twoPortMode, int32_t stamp)
{
    const QByteArray stampText = modZEMO::StampText(stamp);
    for (const char ch : data) {
        texts_[0].Append(modZEMO::CharToBinary(ch));
        texts_[1].Append(modZEMO::CharToHex(ch) + ' ');
        texts_[2].Append(QByteArrayView(&ch, 1));
        if (twoPortMode && texts_[2].EndsWithLineBreak())
            texts_[2].Append(stampText);
        ++lineCount_;
        if (n > 0 && lineCount_ >= n) {
            for (LineText& text : texts_) {
                text.Append("\r\n");
                text.Append(stampText);
            }
            lineCount_ = int16_t(lineCount_ - n);
        } else if (n == 0) {
            lineCount_ = 0;
        }
    }
}

void ReferenceTexts::Reflow(int n)
{
    lineCount_ = 0;
    const int perByte[3] = {8, 3, 1};
    for (int format = 0; format < 3; ++format)
        texts_[format].Reflow(qsizetype(perByte[format]) * n);
}

void ReferenceTexts::Clear()
{
    for (LineText& text : texts_)
        text.Clear();
    lineCount_ = 0;
}
