#pragma once

#include "monitor/ByteStore.h"
#include "monitor/NotationText.h"
#include "monitor/StampedPositions.h"
#include "monitor/StrippedPairs.h"
#include "profiles/SettingLists.h"

#include <QByteArrayView>
#include <array>
#include <deque>
#include <cstdint>
#include <vector>

// What one port received: each byte kept once, with what its line layout in
// the three notations needs: where forced and received line breaks fall, the
// stamp of each line, and what the last re-break did. The texts are produced
// from that (NotationText).
class ReceivedTexts {
public:
    // Display formats: the indexes of OutCombo.
    using enum lists::Notation;

    ReceivedTexts();
    ReceivedTexts(const ReceivedTexts&) = delete;
    ReceivedTexts& operator=(const ReceivedTexts&) = delete;

    // The text of a display format; nullptr for any other index.
    const NotationText* Text(int format) const;
    const ByteStore& Bytes() const { return bytes_; }
    // Bytes appended since the last forced line break.
    int16_t LineCount() const { return lineCount_; }

    // Appends each byte, n bytes to a line (0: no limit); stamp is the tick
    // count that the lines begun now carry. In two-port operation a received
    // CR LF is followed by a stamp in Chr.
    void Append(QByteArrayView data, int n, bool twoPortMode, int32_t stamp);
    // Re-breaks the texts to n bytes per line and zeroes the counter: every
    // CR LF is stripped (also received ones in Chr, and pairs that a removal
    // brings together), stamps stay and count as characters.
    void Reflow(int n);
    void Clear();

private:
    friend class NotationText;

    ByteStore bytes_;
    StampedPositions forced_;    // forced line breaks, each with its stamp
    StampedPositions chrStamps_; // stamps after received CR LF, Chr only
    StrippedPairs pairs_;        // what the last re-break stripped from Chr
    // LF bytes since the last re-break that end a Chr line; a deque grows
    // without copying what it holds.
    std::deque<qsizetype> lineEnds_;
    qsizetype reflowAt_ = 0;          // bytes received before the last re-break
    qsizetype lastStamp_ = -1;        // position of the latest stamp
    int chrLast_ = -1;             // last character of the Chr text, -1: none
    int16_t lineCount_ = 0;
    std::array<NotationText, 3> texts_;
};
