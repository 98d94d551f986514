#include "support/reference/LineText.h"

#include <algorithm>
#include <utility>

qsizetype LineText::LineLength(qsizetype line) const
{
    const qsizetype end = line + 1 < LineCount() ? LineStart(line + 1) - 2 : Size();
    return end - LineStart(line);
}

qsizetype LineText::LineOf(qsizetype offset) const
{
    return std::upper_bound(starts_.begin(), starts_.end(), offset) - starts_.begin();
}

qsizetype LineText::LongestLine() const
{
    qsizetype longest = 0;
    for (qsizetype line = 0; line < LineCount(); ++line)
        longest = std::max(longest, LineLength(line));
    return longest;
}

void LineText::Append(QByteArrayView data)
{
    // A CR at the old end may pair with a LF appended now.
    qsizetype at = std::max<qsizetype>(Size(), 1);
    bytes_.append(data);
    const char* text = bytes_.constData();
    for (; at < Size(); ++at) {
        if (text[at] == '\n' && text[at - 1] == '\r')
            starts_.push_back(at + 1);
    }
}

void LineText::Reflow(qsizetype width)
{
    QByteArray stripped(bytes_.size(), Qt::Uninitialized);
    char* out = stripped.data();
    qsizetype size = 0;
    for (const char ch : std::as_const(bytes_)) {
        if (ch == '\n' && size > 0 && out[size - 1] == '\r')
            --size;
        else
            out[size++] = ch;
    }
    const qsizetype piece = width > 0 ? width : std::max<qsizetype>(size, 1);
    QByteArray cut;
    cut.reserve(size + size / piece * 2);
    for (qsizetype at = 0; at < size; at += piece) {
        if (at > 0)
            cut.append("\r\n", 2);
        cut.append(out + at, std::min(piece, size - at));
    }
    Clear();
    Append(cut);
}

void LineText::Clear()
{
    bytes_.clear();
    starts_.clear();
}
