#include "monitor/ReceivedTexts.h"

ReceivedTexts::ReceivedTexts()
    : texts_{NotationText(*this, Bin), NotationText(*this, Hex), NotationText(*this, Chr)}
{
}

const NotationText* ReceivedTexts::Text(int format) const
{
    return format >= Bin && format <= Chr ? &texts_[size_t(format)] : nullptr;
}

void ReceivedTexts::Append(QByteArrayView data, int n, bool twoPortMode, int32_t stamp)
{
    qsizetype index = bytes_.Size();
    bytes_.Append(data);
    NotationText& chr = texts_[Chr];
    for (const char ch : data) {
        // A LF after a CR in the character text ends a line there.
        const bool lineEnd = ch == '\n' && chrLast_ == '\r';
        if (lineEnd) {
            lineEnds_.push_back(index);
            chr.AddReceivedBreak();
        }
        for (NotationText& text : texts_)
            text.AddCell();
        chrLast_ = uchar(ch);
        if (twoPortMode && lineEnd) {
            chrStamps_.Push(index + 1, stamp);
            chr.AddStamp();
            lastStamp_ = index + 1;
            chrLast_ = ' ';
        }
        ++lineCount_;
        if (n > 0 && lineCount_ >= n) {
            forced_.Push(index + 1, stamp);
            for (NotationText& text : texts_)
                text.AddForcedBreak();
            lastStamp_ = index + 1;
            chrLast_ = ' ';
            lineCount_ = int16_t(lineCount_ - n);
        } else if (n == 0) {
            lineCount_ = 0;
        }
        ++index;
    }
}

void ReceivedTexts::Reflow(int n)
{
    lineCount_ = 0;
    reflowAt_ = bytes_.Size();
    std::deque<qsizetype>().swap(lineEnds_);
    pairs_.Compute(bytes_, reflowAt_, forced_, chrStamps_);
    for (NotationText& text : texts_)
        text.Reset(qsizetype(text.cellWidth_) * n);
    const NotationText& chr = texts_[Chr];
    chrLast_ = chr.Size() > 0 ? uchar(chr.Slice(chr.Size() - 1, chr.Size()).front()) : -1;
}

void ReceivedTexts::Clear()
{
    bytes_.Clear();
    forced_.Clear();
    chrStamps_.Clear();
    pairs_.Clear();
    std::deque<qsizetype>().swap(lineEnds_);
    reflowAt_ = 0;
    lastStamp_ = -1;
    chrLast_ = -1;
    lineCount_ = 0;
    for (NotationText& text : texts_)
        text.Reset(0);
}
