#include "monitor/TimelineText.h"

#include "monitor/ByteCells.h"
#include "monitor/ReceivedTexts.h"

#include <algorithm>
#include <cstring>
#include <limits>

// Takes a timeline's characters piece by piece; false stops the walk.
class TimelineText::Visitor {
public:
    virtual ~Visitor() = default;
    // Whether Text needs the characters; without, data is null.
    virtual bool Reads() const { return true; }
    // Characters of the layout's own that hold no line break.
    virtual bool Text(qsizetype pos, const char* data, qsizetype length) = 0;
    // A CR LF the layout adds.
    virtual bool LineBreak(qsizetype pos) { return Text(pos, "\r\n", 2); }
    // The cells of the bytes [from, to) of bytes, each width characters.
    virtual bool Cells(qsizetype pos, const ByteStore& bytes, qsizetype from, qsizetype to, int width) = 0;
};

namespace {

constexpr qsizetype StampLength = modZEMO::StampLength;

// Finds the CR LF line breaks: those the layout adds, and in Chr those the
// bytes hold (Bin and Hex cells hold neither byte).
class BreakFinder : public TimelineText::Visitor {
public:
    BreakFinder(bool chr, char before)
        : chr_(chr)
        , last_(before)
    {
    }
    bool Reads() const override { return false; }
    bool Text(qsizetype pos, const char*, qsizetype length) override
    {
        last_ = 'x';
        endsWithBreak_ = false;
        return Past(pos + length);
    }
    bool LineBreak(qsizetype pos) override
    {
        last_ = '\n';
        endsWithBreak_ = true;
        return Break(pos + 1) && Past(pos + 2);
    }
    bool Cells(qsizetype pos, const ByteStore& bytes, qsizetype from, qsizetype to, int width) override
    {
        if (!chr_)
            return Text(pos, nullptr, (to - from) * width);
        for (qsizetype at = from; at < to;) {
            const QByteArrayView run = bytes.Run(at, to);
            const char* const first = run.data();
            const char* const end = first + run.size();
            const qsizetype base = pos + (at - from);
            for (const char* lf = first; (lf = static_cast<const char*>(std::memchr(lf, '\n', size_t(end - lf)))); ++lf) {
                const char before = lf > first ? lf[-1] : last_;
                if (before == '\r' && !Break(base + (lf - first)))
                    return false;
            }
            const char previous = run.size() > 1 ? end[-2] : last_;
            last_ = end[-1];
            endsWithBreak_ = last_ == '\n' && previous == '\r';
            if (!Past(base + run.size()))
                return false;
            at += run.size();
        }
        return true;
    }
    char Last() const { return last_; }
    bool EndsWithBreak() const { return endsWithBreak_; }

protected:
    // A break whose LF stands at pos; false stops.
    virtual bool Break(qsizetype pos) = 0;
    // Whether the walk goes on past a piece ending at end.
    virtual bool Past(qsizetype) { return true; }

private:
    bool chr_;
    char last_;
    bool endsWithBreak_ = false;
};

// Calls found with each break's LF position until it says stop.
template <class Found>
class BreakVisitor : public BreakFinder {
public:
    BreakVisitor(bool chr, char before, Found found)
        : BreakFinder(chr, before)
        , found_(found)
    {
    }

protected:
    bool Break(qsizetype pos) override { return found_(pos); }

private:
    Found found_;
};

// Stops once the text reaches limit.
class BreaksBefore : public BreakFinder {
public:
    BreaksBefore(bool chr, char before, qsizetype limit)
        : BreakFinder(chr, before)
        , limit_(limit)
    {
    }
    qsizetype count = 0;

protected:
    bool Break(qsizetype pos) override
    {
        if (pos >= limit_)
            return false;
        ++count;
        return true;
    }
    bool Past(qsizetype end) override { return end < limit_; }

private:
    qsizetype limit_;
};

// Appends the part of piece, which starts at pos, that lies in [from, to).
void Clip(const char* piece, qsizetype length, qsizetype pos, qsizetype from, qsizetype to, QByteArray& out)
{
    const qsizetype first = std::max(from, pos) - pos;
    const qsizetype last = std::min(to, pos + length) - pos;
    if (first < last)
        out.append(piece + first, last - first);
}

class SliceVisitor : public TimelineText::Visitor {
public:
    SliceVisitor(qsizetype from, qsizetype to, QByteArray& out)
        : from_(from)
        , to_(to)
        , out_(out)
    {
    }
    bool Text(qsizetype pos, const char* data, qsizetype length) override
    {
        Clip(data, length, pos, from_, to_, out_);
        return pos + length < to_;
    }
    bool Cells(qsizetype pos, const ByteStore& bytes, qsizetype from, qsizetype to, int width) override
    {
        // Only the cells that reach into [from_, to_).
        const qsizetype skip = std::max<qsizetype>(0, (from_ - pos) / width);
        const qsizetype first = from + skip;
        const qsizetype last = std::min(to, first + (to_ - (pos + skip * width) + width - 1) / width);
        pos += skip * width;
        if (width == 1) {
            if (first < last) {
                const qsizetype at = out_.size();
                out_.resize(at + (last - first));
                bytes.CopyTo(first, last, out_.data() + at);
            }
            return pos + (last - first) < to_;
        }
        const ByteCells& cells = ByteCells::Table();
        for (qsizetype index = first; index < last; ++index, pos += width) {
            const uchar byte = bytes.At(index);
            Clip(width == 8 ? cells.bin[byte].data() : cells.hex[byte].data(), width, pos, from_, to_, out_);
        }
        return pos < to_;
    }

private:
    qsizetype from_;
    qsizetype to_;
    QByteArray& out_;
};

}

TimelineText::TimelineText(const Timeline& timeline)
    : timeline_(timeline)
{
}

void TimelineText::Lay(const TimelineRules& rules)
{
    rules_ = rules;
    cellWidth_ = rules.format == ReceivedTexts::Bin ? 8 : rules.format == ReceivedTexts::Hex ? 3 : 1;
    std::deque<Placed>().swap(placed_);
    laid_ = size_ = breaks_ = longestClosed_ = openLineStart_ = column_ = 0;
    lastSource_ = lastDataSource_ = -1;
    lastDataMs_ = 0;
    lastStamped_ = -1;
    lastChar_ = 0;
    atLineStart_ = true;
    Grow();
}

void TimelineText::Grow()
{
    for (; laid_ < timeline_.Count(); ++laid_)
        Place(laid_);
}

void TimelineText::Place(qsizetype entry)
{
    const Timeline::Entry& e = timeline_.At(entry);
    const bool lineChange = e.source == Timeline::LineChange;
    if (!lineChange && rules_.labels[e.source].isEmpty())
        return;
    Placed placed{size_, breaks_, int32_t(entry), lastStamped_, -1, 0, Start::GoesOn,
                  uint8_t((atLineStart_ ? AtLineStart : 0) | (lastChar_ == '\r' ? AfterCR : 0))};
    if (lineChange) {
        placed.start = Start::Line;
    } else if (lastSource_ != e.source) {
        placed.start = Start::Head;
        if (lastDataSource_ >= 0 && lastDataSource_ != e.source)
            placed.gap = int32_t(std::clamp<int64_t>(e.moment.sinceConnect - lastDataMs_, 0,
                                                     std::numeric_limits<int32_t>::max()));
    } else if (rules_.pauseMs > 0 && e.moment.sinceConnect - lastDataMs_ >= rules_.pauseMs) {
        placed.start = Start::Pause;
    } else {
        placed.column = int16_t(column_);
    }
    placed_.push_back(placed);

    BreakVisitor finder(rules_.format == ReceivedTexts::Chr, lastChar_, [this](qsizetype pos) {
        longestClosed_ = std::max(longestClosed_, pos - 1 - openLineStart_);
        openLineStart_ = pos + 1;
        ++breaks_;
        return true;
    });
    const Walked walked = Walk(qsizetype(placed_.size()) - 1, finder);
    lastChar_ = finder.Last();
    atLineStart_ = finder.EndsWithBreak();
    size_ = walked.end;
    column_ = walked.column;
    if (walked.stamped)
        lastStamped_ = int32_t(placed_.size()) - 1;
    lastSource_ = e.source;
    if (!lineChange) {
        lastDataSource_ = e.source;
        lastDataMs_ = e.moment.sinceConnect;
    }
}

TimelineText::Walked TimelineText::Walk(qsizetype index, Visitor& visitor) const
{
    const Placed& placed = placed_[size_t(index)];
    const Timeline::Entry& e = timeline_.At(placed.entry);
    const modZEMO::StampMoment& previous
        = placed.stampedBefore >= 0 ? timeline_.At(placed_[size_t(placed.stampedBefore)].entry).moment : e.moment;
    StampWriter stamps(rules_.stampKind, previous);
    Walked walked{placed.textStart, placed.column, false};
    bool going = true;
    const bool reads = visitor.Reads();
    const auto text = [&](const char* data, qsizetype length) {
        going = going && visitor.Text(walked.end, data, length);
        walked.end += length;
    };
    const auto stamp = [&](bool withBreak) {
        if (withBreak) {
            going = going && visitor.LineBreak(walked.end);
            walked.end += 2;
        }
        text(reads ? stamps.Next(e.moment) : nullptr, StampLength);
        walked.stamped = true;
    };

    if (placed.start != Start::GoesOn) {
        stamp(!(placed.flags & AtLineStart));
        walked.column = 0;
        if (placed.start == Start::Line) {
            const QByteArray change = Timeline::ChangeText(e);
            text(change.constData(), change.size());
            return walked;
        }
        if (placed.start == Start::Head) {
            const QByteArray& label = rules_.labels[e.source];
            text(label.constData(), label.size());
            if (placed.gap >= 0) {
                const QByteArray gap = " +" + QByteArray::number(placed.gap) + " ms";
                text(gap.constData(), gap.size());
            }
            text(": ", 2);
        }
    }
    const ByteStore& bytes = timeline_.Bytes(e.source);
    const int n = rules_.n;
    for (qsizetype at = e.from, end = e.from + e.count; at < end;) {
        if (n > 0 && walked.column == n) {
            stamp(true);
            walked.column = 0;
        }
        const qsizetype stop = n > 0 ? std::min(end, at + (n - walked.column)) : end;
        going = going && visitor.Cells(walked.end, bytes, at, stop, cellWidth_);
        walked.end += (stop - at) * cellWidth_;
        walked.column = n > 0 ? walked.column + (stop - at) : 0;
        at = stop;
    }
    return walked;
}

qsizetype TimelineText::PlacedAt(qsizetype offset) const
{
    const auto after = std::upper_bound(placed_.begin(), placed_.end(), offset,
                                        [](qsizetype at, const Placed& placed) { return at < placed.textStart; });
    return std::max<qsizetype>(0, (after - placed_.begin()) - 1);
}

qsizetype TimelineText::PlacedOfBreak(qsizetype count) const
{
    const auto after = std::lower_bound(placed_.begin(), placed_.end(), count,
                                        [](const Placed& placed, qsizetype wanted) { return placed.breaksBefore < wanted; });
    return std::max<qsizetype>(0, (after - placed_.begin()) - 1);
}

qsizetype TimelineText::LineStart(qsizetype line) const
{
    if (line <= 0 || placed_.empty())
        return 0;
    line = std::min(line, breaks_);
    const qsizetype index = PlacedOfBreak(line);
    const Placed& placed = placed_[size_t(index)];
    qsizetype left = line - placed.breaksBefore;
    qsizetype start = size_;
    BreakVisitor finder(rules_.format == ReceivedTexts::Chr, placed.flags & AfterCR ? '\r' : 0,
                        [&](qsizetype pos) {
                            if (--left > 0)
                                return true;
                            start = pos + 1;
                            return false;
                        });
    Walk(index, finder);
    return start;
}

qsizetype TimelineText::LineLength(qsizetype line) const
{
    const qsizetype end = line + 1 < LineCount() ? LineStart(line + 1) - 2 : Size();
    return end - LineStart(line);
}

qsizetype TimelineText::LineOf(qsizetype offset) const
{
    if (placed_.empty())
        return 0;
    if (offset >= size_)
        return breaks_;
    const qsizetype index = PlacedAt(offset);
    const Placed& placed = placed_[size_t(index)];
    BreaksBefore counter(rules_.format == ReceivedTexts::Chr, placed.flags & AfterCR ? '\r' : 0, offset);
    Walk(index, counter);
    return placed.breaksBefore + counter.count;
}

qsizetype TimelineText::LongestLine() const
{
    return std::max(longestClosed_, size_ - openLineStart_);
}

QByteArray TimelineText::Slice(qsizetype from, qsizetype to) const
{
    from = std::clamp<qsizetype>(from, 0, size_);
    to = std::clamp<qsizetype>(to, from, size_);
    QByteArray out;
    if (from == to)
        return out;
    out.reserve(to - from);
    SliceVisitor slicer(from, to, out);
    for (qsizetype index = PlacedAt(from); index < qsizetype(placed_.size()) && out.size() < to - from; ++index)
        Walk(index, slicer);
    return out;
}

int TimelineText::LineColour(qsizetype line) const
{
    if (placed_.empty())
        return 0;
    return 1 + timeline_.At(placed_[size_t(PlacedAt(LineStart(line)))].entry).source;
}
