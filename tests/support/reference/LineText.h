#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

// A growing text, one byte per character, that knows where its lines start.
// A line ends at CR LF; a lone CR or LF is an ordinary character. Kept plain
// on purpose: it is what the receive model is compared with.
class LineText {
public:
    const QByteArray& Bytes() const { return bytes_; }
    qsizetype Size() const { return bytes_.size(); }

    // At least 1: an empty text is one empty line.
    qsizetype LineCount() const { return qsizetype(starts_.size()) + 1; }
    qsizetype LineStart(qsizetype line) const { return line == 0 ? 0 : starts_[size_t(line - 1)]; }
    // Characters of the line without its CR LF.
    qsizetype LineLength(qsizetype line) const;
    // The line holding offset; offsets at or past the end give the last line.
    qsizetype LineOf(qsizetype offset) const;
    qsizetype LongestLine() const;
    bool EndsWithLineBreak() const { return bytes_.endsWith("\r\n"); }

    void Append(QByteArrayView data);
    // Re-breaks the text into lines of width characters (0: one line): every
    // CR LF pair goes (also pairs that a removal brings together), then the
    // rest is cut into pieces of width characters joined by CR LF.
    void Reflow(qsizetype width);
    void Clear();

private:
    QByteArray bytes_;
    std::vector<qsizetype> starts_; // of every line but the first
};
