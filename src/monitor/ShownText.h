#pragma once

#include <QByteArray>
#include <QtGlobal>

// A text the received-data box shows, read in place: its characters are
// produced when asked for. A line ends at CR LF.
class ShownText {
public:
    virtual ~ShownText() = default;

    virtual qsizetype Size() const = 0;
    // At least 1: an empty text is one empty line.
    virtual qsizetype LineCount() const = 0;
    virtual qsizetype LineStart(qsizetype line) const = 0;
    // Characters of the line without its CR LF.
    virtual qsizetype LineLength(qsizetype line) const = 0;
    // The line holding offset; offsets at or past the end give the last line.
    virtual qsizetype LineOf(qsizetype offset) const = 0;
    virtual qsizetype LongestLine() const = 0;
    // The characters [from, to).
    virtual QByteArray Slice(qsizetype from, qsizetype to) const = 0;
    // The colour a line is drawn in: 0 the box's own, others the directions
    // of a timeline.
    virtual int LineColour(qsizetype) const { return 0; }
};
