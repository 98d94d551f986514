#pragma once

#include "monitor/ShownText.h"
#include "monitor/StampWriter.h"
#include "monitor/Timeline.h"

#include <QByteArray>
#include <array>
#include <cstdint>
#include <deque>

// How a timeline is laid out: the notation and line rules apply within each
// run of one direction.
struct TimelineRules {
    int format = 0;   // Bin, Hex or Chr: the indexes of OutCombo
    int n = 0;        // bytes per line, 0: no limit
    int pauseMs = 0;  // bytes read at least this many ms after the bytes before them start a new line; 0: never
    StampKind stampKind = StampKind::Ticks;
    // What heads each direction's run ("COM6 » COM7"); a source without one is not shown.
    std::array<QByteArray, 3> labels;
};

// A timeline as the box shows it: a new line, a stamp and the direction's
// label at every change of direction, with the time since the other
// direction's last bytes; each modem line change on a line of its own.
// Nothing is kept as text: per entry shown, only where its text and lines
// begin.
class TimelineText : public ShownText {
public:
    explicit TimelineText(const Timeline& timeline);

    // Lays out every entry anew.
    void Lay(const TimelineRules& rules);
    // Lays out the entries added since.
    void Grow();
    const TimelineRules& Rules() const { return rules_; }
    // Stamps of every kind have one length: only the characters change.
    void SetStampKind(StampKind kind) { rules_.stampKind = kind; }

    qsizetype Size() const override { return size_; }
    qsizetype LineCount() const override { return breaks_ + 1; }
    qsizetype LineStart(qsizetype line) const override;
    qsizetype LineLength(qsizetype line) const override;
    qsizetype LineOf(qsizetype offset) const override;
    qsizetype LongestLine() const override;
    QByteArray Slice(qsizetype from, qsizetype to) const override;
    // 1 + the source of the line's entry (Timeline::Source).
    int LineColour(qsizetype line) const override;

    class Visitor;

private:
    enum class Start : uint8_t { GoesOn, Head, Pause, Line };
    enum Flag : uint8_t { AtLineStart = 1, AfterCR = 2 };
    struct Placed {
        qsizetype textStart;
        qsizetype breaksBefore; // line breaks in the text before it
        int32_t entry;
        int32_t stampedBefore; // the entry placed last before it that carries a stamp, -1: none
        int32_t gap;           // ms since the other direction's last bytes, -1: none
        int16_t column;        // bytes in its line before it
        Start start;
        uint8_t flags;
    };
    struct Walked {
        qsizetype end;
        qsizetype column;
        bool stamped;
    };

    void Place(qsizetype entry);
    // Hands visitor the characters of placed_[index] in order, piece by piece.
    Walked Walk(qsizetype index, Visitor& visitor) const;
    // The last entry placed whose text starts at or before offset.
    qsizetype PlacedAt(qsizetype offset) const;
    // The entry placed whose text holds the line break number count (from 1).
    qsizetype PlacedOfBreak(qsizetype count) const;

    const Timeline& timeline_;
    TimelineRules rules_;
    int cellWidth_ = 1;
    std::deque<Placed> placed_;
    qsizetype laid_ = 0; // timeline entries looked at
    qsizetype size_ = 0;
    qsizetype breaks_ = 0;
    qsizetype longestClosed_ = 0;
    qsizetype openLineStart_ = 0;
    qsizetype column_ = 0;
    int lastSource_ = -1;     // of the last entry placed
    int lastDataSource_ = -1; // of the last entry placed with bytes
    int64_t lastDataMs_ = 0;
    int32_t lastStamped_ = -1;
    char lastChar_ = 0;
    bool atLineStart_ = true;
};
