#include "support/reference/LineText.h"

#include <algorithm>

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
    for (; at < Size(); ++at) {
        if (bytes_[at] == '\n' && bytes_[at - 1] == '\r')
            starts_.push_back(at + 1);
    }
}

void LineText::Reflow(qsizetype width)
{
    QByteArray stripped;
    for (const char ch : bytes_) {
        if (ch == '\n' && stripped.endsWith('\r'))
            stripped.chop(1);
        else
            stripped.append(ch);
    }
    Clear();
    for (qsizetype at = 0; at < stripped.size(); at += width > 0 ? width : stripped.size()) {
        if (at > 0)
            Append("\r\n");
        Append(stripped.mid(at, width > 0 ? width : -1));
    }
}

void LineText::Clear()
{
    bytes_.clear();
    starts_.clear();
}
