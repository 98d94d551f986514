#pragma once

#include "monitor/ByteStore.h"
#include "monitor/NotationText.h"
#include "monitor/StampWriter.h"
#include "monitor/StampedPositions.h"
#include "monitor/StrippedPairs.h"
#include "monitor/TickCounter.h"
#include "profiles/SettingLists.h"

#include <QByteArrayView>
#include <array>
#include <deque>
#include <cstdint>
#include <vector>

// How the lines of a received text are broken as its bytes arrive.
struct LineRules {
    int n = 0;                // bytes per line, 0: no limit
    bool twoPortMode = false; // in Chr, a stamp follows each received CR LF
    // In Chr, a stamp also follows each received CR LF in one-port operation,
    // and a LF alone ends its line there with a stamp.
    bool stampEveryLine = false;
    // Bytes read at least this many ms after the bytes before them start a new line; 0: never.
    int pauseMs = 0;
};

// What one port received: each byte kept once, with what its line layout in
// the three notations needs: where added and received line breaks fall, the
// moment of each stamp, and what the last re-break did. The texts are
// produced from that (NotationText), their stamps of the kind chosen.
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
    // Bytes appended since the byte count last broke a line or started again.
    int16_t LineCount() const { return lineCount_; }

    // Appends the bytes one tick read at moment: the lines begun now carry
    // its stamp.
    void Append(QByteArrayView data, const LineRules& rules, const modZEMO::StampMoment& moment);
    // The same with a moment that tells only the tick count.
    void Append(QByteArrayView data, int n, bool twoPortMode, int32_t stamp)
    {
        Append(data, LineRules{n, twoPortMode}, modZEMO::StampMoment{stamp});
    }
    // Re-breaks the texts to n bytes per line and zeroes the counter: every
    // CR LF is stripped (also received ones in Chr, and pairs that a removal
    // brings together), stamps stay and count as characters.
    void Reflow(int n);
    void Clear();

    // Every stamp, those already received too, is shown as kind tells it.
    void SetStampKind(StampKind kind) { stampKind_ = kind; }

private:
    friend class NotationText;

    void BreakAfterPause(const modZEMO::StampMoment& moment);
    void BreakBinHex(qsizetype position, const modZEMO::StampMoment& moment);
    void BreakChr(qsizetype position, const modZEMO::StampMoment& moment);
    void StampChr(qsizetype position, const modZEMO::StampMoment& moment);

    ByteStore bytes_;
    StampedPositions breaks_;    // line breaks of Bin and Hex, each with its stamp
    StampedPositions chrBreaks_; // line breaks of Chr that the program adds, each with its stamp
    StampedPositions chrStamps_; // stamps after received CR LF, Chr only
    StrippedPairs pairs_;        // what the last re-break stripped from Chr
    // LF bytes since the last re-break that end a Chr line; a deque grows
    // without copying what it holds.
    std::deque<qsizetype> lineEnds_;
    qsizetype reflowAt_ = 0;      // bytes received before the last re-break
    int chrLast_ = -1;            // last character of the Chr text, -1: none
    int16_t lineCount_ = 0;
    modZEMO::StampMoment start_;  // when the first byte was read
    int64_t lastRead_ = 0;        // when the last bytes were read, ms since the connect
    StampKind stampKind_ = StampKind::Ticks;
    std::array<NotationText, 3> texts_;
};
