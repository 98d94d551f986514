#include "support/reference/LineText.h"

#include "support/reference/ReflowText.h"

#include <algorithm>
#include <cstring>

qsizetype LineText::LineLength(qsizetype line) const
{
    const qsizetype end = line + 1 < LineCount() ? LineStart(line + 1) - 2 : Size();
    return end - LineStart(line);
}

qsizetype LineText::LineOf(qsizetype offset) const
{
    qsizetype low = 0;
    qsizetype high = starts_.Count();
    // Count the starts at or before offset.
    while (low < high) {
        const qsizetype mid = low + (high - low) / 2;
        if (starts_.At(mid) <= offset)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

qsizetype LineText::LongestLine() const
{
    return std::max(longestClosed_, Size() - LineStart(LineCount() - 1));
}

void LineText::Append(QByteArrayView data)
{
    const qsizetype from = Size();
    // Grown through reserve, which reallocates in place: append's own growth
    // copies the whole text, a pause of a second once it holds hundreds of MB.
    if (bytes_.capacity() - from < data.size())
        bytes_.reserve(std::max(from + data.size(), from + from / 2 + 4096));
    bytes_.append(data);
    IndexFrom(from);
}

void LineText::Reflow(qsizetype width)
{
    ReflowText(bytes_, width);
    // The text may have shrunk; give the pages it no longer uses back.
    bytes_.squeeze();
    starts_.Clear();
    longestClosed_ = 0;
    IndexFrom(0);
}

void LineText::Clear()
{
    bytes_ = QByteArray();
    starts_.Clear();
    longestClosed_ = 0;
}

void LineText::IndexFrom(qsizetype from)
{
    const char* data = bytes_.constData();
    const qsizetype size = bytes_.size();
    // A CR at the old end may pair with a LF just appended.
    qsizetype at = from;
    while (at < size) {
        const void* hit = std::memchr(data + at, '\n', size_t(size - at));
        if (!hit)
            break;
        const qsizetype lf = static_cast<const char*>(hit) - data;
        if (lf > 0 && data[lf - 1] == '\r') {
            const qsizetype lineStart = LineStart(LineCount() - 1);
            longestClosed_ = std::max(longestClosed_, lf - 1 - lineStart);
            starts_.Push(lf + 1);
        }
        at = lf + 1;
    }
}
