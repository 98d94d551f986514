#include "monitor/ReceivedTexts.h"

ReceivedTexts::ReceivedTexts()
    : texts_{NotationText(*this, Bin), NotationText(*this, Hex), NotationText(*this, Chr)}
{
}

const NotationText* ReceivedTexts::Text(int format) const
{
    return format >= Bin && format <= Chr ? &texts_[size_t(format)] : nullptr;
}

void ReceivedTexts::Append(QByteArrayView data, const LineRules& rules, const modZEMO::StampMoment& moment)
{
    if (data.isEmpty())
        return;
    if (bytes_.Size() == 0)
        start_ = moment;
    else if (rules.pauseMs > 0 && moment.sinceConnect - lastRead_ >= rules.pauseMs)
        BreakAfterPause(moment);
    lastRead_ = moment.sinceConnect;
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
        const qsizetype next = index + 1;
        const bool loneLineFeed = ch == '\n' && !lineEnd && rules.stampEveryLine;
        if (lineEnd && (rules.twoPortMode || rules.stampEveryLine))
            StampChr(next, moment);
        else if (loneLineFeed)
            BreakChr(next, moment);
        ++lineCount_;
        if (rules.n > 0 && lineCount_ >= rules.n) {
            BreakBinHex(next, moment);
            // After a LF alone the Chr line is broken here already.
            if (!loneLineFeed)
                BreakChr(next, moment);
            lineCount_ = int16_t(lineCount_ - rules.n);
        } else if (rules.n == 0) {
            lineCount_ = 0;
        }
        ++index;
    }
}

void ReceivedTexts::BreakAfterPause(const modZEMO::StampMoment& moment)
{
    // The line open at a re-break goes on: the bytes before it are laid out
    // anew, and nothing may stand between the two parts.
    const qsizetype at = bytes_.Size();
    if (at == reflowAt_)
        return;
    lineCount_ = 0;
    if (!breaks_.Has(at))
        BreakBinHex(at, moment);
    // A Chr line that is empty and stamped needs nothing; one that a received
    // line end began needs only its stamp.
    if (chrBreaks_.Has(at) || chrStamps_.Has(at))
        return;
    if (!lineEnds_.empty() && lineEnds_.back() == at - 1)
        StampChr(at, moment);
    else
        BreakChr(at, moment);
}

void ReceivedTexts::BreakBinHex(qsizetype position, const modZEMO::StampMoment& moment)
{
    breaks_.Push(position, moment);
    texts_[Bin].AddBreak();
    texts_[Hex].AddBreak();
}

void ReceivedTexts::BreakChr(qsizetype position, const modZEMO::StampMoment& moment)
{
    chrBreaks_.Push(position, moment);
    texts_[Chr].AddBreak();
    chrLast_ = ' ';
}

void ReceivedTexts::StampChr(qsizetype position, const modZEMO::StampMoment& moment)
{
    chrStamps_.Push(position, moment);
    texts_[Chr].AddStamp();
    chrLast_ = ' ';
}

void ReceivedTexts::Reflow(int n)
{
    lineCount_ = 0;
    reflowAt_ = bytes_.Size();
    std::deque<qsizetype>().swap(lineEnds_);
    pairs_.Compute(bytes_, reflowAt_, chrBreaks_, chrStamps_);
    for (NotationText& text : texts_)
        text.Reset(qsizetype(text.cellWidth_) * n);
    const NotationText& chr = texts_[Chr];
    chrLast_ = chr.Size() > 0 ? uchar(chr.Slice(chr.Size() - 1, chr.Size()).front()) : -1;
}

void ReceivedTexts::Clear()
{
    bytes_.Clear();
    breaks_.Clear();
    chrBreaks_.Clear();
    chrStamps_.Clear();
    pairs_.Clear();
    std::deque<qsizetype>().swap(lineEnds_);
    reflowAt_ = 0;
    chrLast_ = -1;
    lineCount_ = 0;
    start_ = {};
    lastRead_ = 0;
    for (NotationText& text : texts_)
        text.Reset(0);
}
