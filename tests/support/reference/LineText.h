#pragma once

#include "support/reference/LineStarts.h"

#include <QByteArray>
#include <QByteArrayView>

// A growing text, one byte per character, that knows where its lines start.
// A line ends at CR LF; a lone CR or LF is an ordinary character.
class LineText {
public:
    const QByteArray& Bytes() const { return bytes_; }
    const char* Data() const { return bytes_.constData(); }
    qsizetype Size() const { return bytes_.size(); }

    // At least 1: an empty text is one empty line.
    qsizetype LineCount() const { return starts_.Count() + 1; }
    qsizetype LineStart(qsizetype line) const { return line == 0 ? 0 : starts_.At(line - 1); }
    // Characters of the line without its CR LF.
    qsizetype LineLength(qsizetype line) const;
    // The line holding offset; offsets at or past the end give the last line.
    qsizetype LineOf(qsizetype offset) const;
    qsizetype LongestLine() const;
    bool EndsWithLineBreak() const { return bytes_.endsWith("\r\n"); }

    void Append(QByteArrayView data);
    // Re-breaks the text into lines of width characters (0: one line), in place.
    void Reflow(qsizetype width);
    // Empties the text and gives its memory back.
    void Clear();

private:
    void IndexFrom(qsizetype from);

    QByteArray bytes_;
    LineStarts starts_;
    qsizetype longestClosed_ = 0; // longest line that has its CR LF
};
