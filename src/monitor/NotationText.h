#pragma once

#include "monitor/ShownText.h"
#include "monitor/TickCounter.h"

#include <QByteArray>
#include <QtGlobal>

class ReceivedTexts;
class StampedPositions;

// The received text of one port in one notation, as the box shows it: each
// byte as its notation (eight binary digits, two hex digits and a space, or
// the byte itself), lines broken and stamped as they were received and
// re-broken. Nothing of it is stored as text: its characters are produced
// from the received bytes and their line layout when asked for.
class NotationText : public ShownText {
public:
    NotationText(const ReceivedTexts& received, int format);

    qsizetype Size() const override { return sizeA_ + sizeB_; }
    qsizetype LineCount() const override;
    qsizetype LineStart(qsizetype line) const override;
    qsizetype LineLength(qsizetype line) const override;
    qsizetype LineOf(qsizetype offset) const override;
    qsizetype LongestLine() const override;
    QByteArray Slice(qsizetype from, qsizetype to) const override;
    QByteArray Whole() const { return Slice(0, Size()); }

private:
    friend class ReceivedTexts;

    // The text is a re-broken part A, the bytes before the last re-break cut
    // into lines of width_ characters, followed by part B, the bytes since,
    // laid out as they arrived.
    void Reset(qsizetype width);
    void AddCell() { sizeB_ += cellWidth_; }
    void AddStamp() { sizeB_ += StampLength; }
    // A line break whose CR stands at end; the next line starts at next.
    void CloseLine(qsizetype end, qsizetype next);
    // A CR LF and a stamp.
    void AddBreak();
    void AddReceivedBreak();

    // Offset of byte index's cell (the events before it included) in the
    // stripped text of part A, or in part B.
    qsizetype OffsetInA(qsizetype index) const;
    qsizetype OffsetInB(qsizetype index) const;
    // The last byte index whose cell starts at or before offset.
    qsizetype LocateInA(qsizetype offset) const;
    qsizetype LocateInB(qsizetype offset) const;
    qsizetype LastAtOrBefore(qsizetype low, qsizetype high, qsizetype offset,
                             qsizetype (NotationText::*offsetOf)(qsizetype) const) const;
    void AppendStripped(qsizetype from, qsizetype to, QByteArray& out) const;
    void AppendPart(bool partA, qsizetype from, qsizetype to, QByteArray& out) const;
    void AppendCells(qsizetype first, qsizetype last, qsizetype pos, qsizetype from, qsizetype to, QByteArray& out) const;
    qsizetype BreaksInB(qsizetype key) const;
    // The moment of the stamp standing before break breakIndex and Chr stamp
    // chrIndex, or of the first byte when none does.
    modZEMO::StampMoment MomentBefore(qsizetype breakIndex, qsizetype chrIndex) const;

    static constexpr qsizetype StampLength = modZEMO::StampLength;

    const ReceivedTexts& received_;
    int format_;
    int cellWidth_;
    const StampedPositions& breaks_; // the line breaks this notation has
    qsizetype width_ = 0;    // characters per line of part A; 0: one line
    qsizetype stripped_ = 0; // part A's characters without its line breaks
    qsizetype pieces_ = 1;   // lines of part A
    qsizetype sizeA_ = 0;
    qsizetype sizeB_ = 0;
    qsizetype longestClosed_ = 0; // longest line that has its CR LF
    qsizetype openLineStart_ = 0;
};
