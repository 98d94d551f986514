#include "monitor/NotationText.h"

#include "monitor/ByteCells.h"
#include "monitor/ReceivedTexts.h"
#include "monitor/StampWriter.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace {

constexpr qsizetype None = std::numeric_limits<qsizetype>::max();

// Appends the part of piece, which starts at pos, that lies in [from, to).
void Clip(const char* piece, qsizetype length, qsizetype pos, qsizetype from, qsizetype to, QByteArray& out)
{
    const qsizetype first = std::max(from, pos) - pos;
    const qsizetype last = std::min(to, pos + length) - pos;
    if (first < last)
        out.append(piece + first, last - first);
}

}

NotationText::NotationText(const ReceivedTexts& received, int format)
    : received_(received)
    , format_(format)
    , cellWidth_(format == ReceivedTexts::Bin ? 8 : format == ReceivedTexts::Hex ? 3 : 1)
    , breaks_(format == ReceivedTexts::Chr ? received.chrBreaks_ : received.breaks_)
{
}

void NotationText::Reset(qsizetype width)
{
    width_ = width;
    stripped_ = OffsetInA(received_.reflowAt_);
    pieces_ = width_ > 0 && stripped_ > width_ ? (stripped_ + width_ - 1) / width_ : 1;
    sizeA_ = stripped_ + 2 * (pieces_ - 1);
    sizeB_ = 0;
    longestClosed_ = pieces_ > 1 ? width_ : 0;
    openLineStart_ = (pieces_ - 1) * (width_ + 2);
}

void NotationText::CloseLine(qsizetype end, qsizetype next)
{
    longestClosed_ = std::max(longestClosed_, end - openLineStart_);
    openLineStart_ = next;
}

void NotationText::AddBreak()
{
    CloseLine(Size(), Size() + 2);
    sizeB_ += 2 + StampLength;
}

void NotationText::AddReceivedBreak()
{
    // Called before the LF's cell is added: the CR is the last character.
    CloseLine(Size() - 1, Size() + 1);
}

qsizetype NotationText::OffsetInA(qsizetype index) const
{
    const ReceivedTexts& r = received_;
    if (format_ != ReceivedTexts::Chr)
        return index * cellWidth_ + breaks_.CountUpTo(index) * StampLength;
    const qsizetype stamps = breaks_.CountUpTo(index) + r.chrStamps_.CountUpTo(index);
    return index - r.pairs_.RemovedBefore(index) + stamps * StampLength;
}

qsizetype NotationText::OffsetInB(qsizetype index) const
{
    const ReceivedTexts& r = received_;
    const qsizetype from = r.reflowAt_;
    qsizetype offset = (index - from) * cellWidth_ + (breaks_.CountUpTo(index) - breaks_.CountUpTo(from)) * (StampLength + 2);
    if (format_ == ReceivedTexts::Chr)
        offset += (r.chrStamps_.CountUpTo(index) - r.chrStamps_.CountUpTo(from)) * StampLength;
    return offset;
}

qsizetype NotationText::LocateInA(qsizetype offset) const
{
    return LastAtOrBefore(0, received_.reflowAt_, offset, &NotationText::OffsetInA);
}

qsizetype NotationText::LocateInB(qsizetype offset) const
{
    return LastAtOrBefore(received_.reflowAt_, received_.bytes_.Size(), offset, &NotationText::OffsetInB);
}

qsizetype NotationText::LastAtOrBefore(qsizetype low, qsizetype high, qsizetype offset,
                                       qsizetype (NotationText::*offsetOf)(qsizetype) const) const
{
    // The last byte index in [low, high] whose text offset is at most offset.
    while (low < high) {
        const qsizetype mid = low + (high - low + 1) / 2;
        if ((this->*offsetOf)(mid) <= offset)
            low = mid;
        else
            high = mid - 1;
    }
    return low;
}

qsizetype NotationText::BreaksInB(qsizetype key) const
{
    // Keys order the breaks of part B: 2p for a break at position p,
    // 2m + 1 for a received CR LF whose LF is byte m.
    const ReceivedTexts& r = received_;
    qsizetype count = breaks_.CountUpTo(key / 2) - breaks_.CountUpTo(r.reflowAt_);
    if (format_ == ReceivedTexts::Chr)
        count += std::upper_bound(r.lineEnds_.begin(), r.lineEnds_.end(), (key - 1) / 2) - r.lineEnds_.begin();
    return count;
}

modZEMO::StampMoment NotationText::MomentBefore(qsizetype breakIndex, qsizetype chrIndex) const
{
    // Of two at one position, the break stands after the stamp.
    const ReceivedTexts& r = received_;
    const bool chrStamp = chrIndex > 0;
    if (breakIndex > 0 && (!chrStamp || breaks_.PositionOf(breakIndex - 1) >= r.chrStamps_.PositionOf(chrIndex - 1)))
        return breaks_.StampOf(breakIndex - 1);
    return chrStamp ? r.chrStamps_.StampOf(chrIndex - 1) : r.start_;
}

qsizetype NotationText::LineCount() const
{
    const ReceivedTexts& r = received_;
    qsizetype count = pieces_ + breaks_.Count() - breaks_.CountUpTo(r.reflowAt_);
    if (format_ == ReceivedTexts::Chr)
        count += qsizetype(r.lineEnds_.size());
    return count;
}

qsizetype NotationText::LineStart(qsizetype line) const
{
    if (line < pieces_)
        return line * (width_ + 2);
    const qsizetype wanted = line - pieces_ + 1;
    qsizetype low = 2 * received_.reflowAt_;
    qsizetype high = 2 * received_.bytes_.Size() + 1;
    while (low < high) {
        const qsizetype mid = low + (high - low) / 2;
        if (BreaksInB(mid) >= wanted)
            high = mid;
        else
            low = mid + 1;
    }
    if (low % 2 == 0)
        return sizeA_ + OffsetInB(low / 2) - StampLength;
    return sizeA_ + OffsetInB((low - 1) / 2) + 1;
}

qsizetype NotationText::LineLength(qsizetype line) const
{
    const qsizetype end = line + 1 < LineCount() ? LineStart(line + 1) - 2 : Size();
    return end - LineStart(line);
}

qsizetype NotationText::LineOf(qsizetype offset) const
{
    if (offset < sizeA_)
        return pieces_ > 1 ? std::min(offset / (width_ + 2), pieces_ - 1) : 0;
    const ReceivedTexts& r = received_;
    const qsizetype inB = offset - sizeA_;
    const qsizetype index = LocateInB(inB);
    qsizetype line = pieces_ - 1 + breaks_.CountUpTo(index) - breaks_.CountUpTo(r.reflowAt_);
    const bool chr = format_ == ReceivedTexts::Chr;
    if (chr)
        line += std::lower_bound(r.lineEnds_.begin(), r.lineEnds_.end(), index) - r.lineEnds_.begin();
    if (index < r.bytes_.Size()) {
        if (chr && std::binary_search(r.lineEnds_.begin(), r.lineEnds_.end(), index) && inB > OffsetInB(index))
            ++line;
        if (breaks_.Has(index + 1) && inB >= OffsetInB(index + 1) - StampLength)
            ++line;
    }
    return line;
}

qsizetype NotationText::LongestLine() const
{
    return std::max(longestClosed_, Size() - openLineStart_);
}

QByteArray NotationText::Slice(qsizetype from, qsizetype to) const
{
    from = std::clamp<qsizetype>(from, 0, Size());
    to = std::clamp<qsizetype>(to, from, Size());
    QByteArray out;
    out.reserve(to - from);
    if (from < sizeA_) {
        const qsizetype end = std::min(to, sizeA_);
        if (pieces_ == 1) {
            AppendPart(true, from, end, out);
        } else {
            // Part A's pieces, joined by CR LF.
            const qsizetype step = width_ + 2;
            const auto strippedAt = [&](qsizetype at) { return at / step * width_ + std::min(at % step, width_); };
            QByteArray flat;
            AppendPart(true, strippedAt(from), strippedAt(end), flat);
            qsizetype used = 0;
            for (qsizetype at = from; at < end;) {
                const qsizetype column = at % step;
                if (column < width_) {
                    const qsizetype count = std::min(width_ - column, end - at);
                    out.append(flat.constData() + used, count);
                    used += count;
                    at += count;
                } else {
                    out.append(column == width_ ? '\r' : '\n');
                    ++at;
                }
            }
        }
    }
    if (to > sizeA_)
        AppendPart(false, std::max(from, sizeA_) - sizeA_, to - sizeA_, out);
    return out;
}

void NotationText::AppendCells(qsizetype first, qsizetype last, qsizetype pos, qsizetype from, qsizetype to, QByteArray& out) const
{
    // Only the cells that reach into [from, to).
    const qsizetype skip = std::max<qsizetype>(0, (from - pos) / cellWidth_);
    first += skip;
    pos += skip * cellWidth_;
    last = std::min(last, first + (to - pos + cellWidth_ - 1) / cellWidth_);
    if (first >= last)
        return;
    const ByteStore& bytes = received_.bytes_;
    if (format_ == ReceivedTexts::Chr) {
        const qsizetype at = out.size();
        out.resize(at + (last - first));
        bytes.CopyTo(first, last, out.data() + at);
        return;
    }
    const ByteCells& cells = ByteCells::Table();
    const auto cellOf = [&](qsizetype index) {
        const uchar byte = bytes.At(index);
        return format_ == ReceivedTexts::Bin ? cells.bin[byte].data() : cells.hex[byte].data();
    };
    // Only the first and the last cell can be cut by [from, to); the cells
    // between are copied whole.
    if (pos < from) {
        Clip(cellOf(first), cellWidth_, pos, from, to, out);
        ++first;
        pos += cellWidth_;
    }
    const qsizetype whole = std::clamp<qsizetype>((to - pos) / cellWidth_, 0, last - first);
    const qsizetype at = out.size();
    out.resize(at + whole * cellWidth_);
    // A copy of a width known here is a move or two rather than a call.
    const auto copyCells = [&]<int Width>() {
        char* cell = out.data() + at;
        for (qsizetype index = first; index < first + whole; ++index, cell += Width)
            std::memcpy(cell, cellOf(index), Width);
    };
    if (cellWidth_ == 8)
        copyCells.operator()<8>();
    else
        copyCells.operator()<3>();
    if (first + whole < last)
        Clip(cellOf(first + whole), cellWidth_, pos + whole * cellWidth_, from, to, out);
}

void NotationText::AppendPart(bool partA, qsizetype from, qsizetype to, QByteArray& out) const
{
    if (from >= to)
        return;
    const ReceivedTexts& r = received_;
    const bool chr = format_ == ReceivedTexts::Chr;
    const bool stripping = partA && chr;
    const qsizetype end = partA ? r.reflowAt_ : r.bytes_.Size();
    qsizetype at = partA ? LocateInA(from) : LocateInB(from);
    qsizetype pos = partA ? OffsetInA(at) : OffsetInB(at);

    // The next break, stamp and stripped interval at or after at + 1.
    qsizetype breakIndex = breaks_.CountUpTo(at);
    qsizetype chrIndex = chr ? r.chrStamps_.CountUpTo(at) : 0;
    const auto nextBreak = [&] { return breakIndex < breaks_.Count() ? breaks_.PositionOf(breakIndex) : None; };
    const auto nextChr = [&] {
        return chr && chrIndex < r.chrStamps_.Count() ? r.chrStamps_.PositionOf(chrIndex) : None;
    };
    std::pair<qsizetype, qsizetype> removed = stripping ? r.pairs_.NextRemoved(at) : std::pair<qsizetype, qsizetype>(-1, -1);

    StampWriter stamps(r.stampKind_, MomentBefore(breakIndex, chrIndex));
    const auto appendStamp = [&](const modZEMO::StampMoment& moment, bool withBreak) {
        if (withBreak) {
            Clip("\r\n", 2, pos, from, to, out);
            pos += 2;
        }
        Clip(stamps.Next(moment), StampLength, pos, from, to, out);
        pos += StampLength;
    };

    bool eventsDone = true; // the stamps standing before byte at
    while (pos < to) {
        if (!eventsDone) {
            if (nextChr() == at)
                appendStamp(r.chrStamps_.StampOf(chrIndex++), false);
            if (nextBreak() == at)
                appendStamp(breaks_.StampOf(breakIndex++), !partA);
            eventsDone = true;
        }
        if (at >= end)
            break;
        if (stripping && removed.first >= 0 && at >= removed.first) {
            at = removed.second;
            removed = r.pairs_.NextRemoved(at);
            eventsDone = false;
            continue;
        }
        qsizetype stop = std::min({end, nextBreak(), nextChr()});
        if (stripping && removed.first >= 0)
            stop = std::min(stop, removed.first);
        AppendCells(at, stop, pos, from, to, out);
        pos += (stop - at) * cellWidth_;
        at = stop;
        eventsDone = false;
    }
}
