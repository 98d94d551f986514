#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace modZEMO {

// The ring of the last 99 texts sent (or refused), numbered 1 to 99. The
// window keeps the numbers (HistoryIndex, RecallIndex); the ring keeps the texts.
class SendHistoryRing {
public:
    static constexpr int16_t Entries = 99;
    static constexpr qsizetype EntryWidth = 100;

    // Writes text into the entry after lastIndex (1 again after 99) and
    // returns that entry's number. The entry keeps the first 100 characters,
    // padded with spaces to 100.
    int16_t Store(int16_t lastIndex, const QString& text);

    // Entry n as stored (100 characters); empty when never written or n is outside 1..99.
    QString Entry(int16_t n) const;

    // The text Up or Down brings back: the entry without its padding.
    QString Recall(int16_t n) const;

    // The recall index one step back (Up) or forward (Down), wrapping within 1..99.
    static int16_t StepBack(int16_t recallIndex);
    static int16_t StepForward(int16_t recallIndex);

private:
    std::array<QString, Entries> entries_;
};

// The program's one send history; it lives as long as the program.
extern SendHistoryRing SendHistory;

}
