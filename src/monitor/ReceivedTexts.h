#pragma once

#include "monitor/LineText.h"

#include <QByteArrayView>
#include <cstdint>

// Received bytes of one port in the three notations, with their line layout.
class ReceivedTexts {
public:
    // Display formats: the indexes of OutCombo.
    enum Format : int { Bin = 0, Hex = 1, Chr = 2 };

    // The text of a display format; nullptr for any other index.
    const LineText* Text(int format) const;
    // Bytes appended since the last forced line break.
    int16_t LineCount() const { return lineCount_; }

    // Appends each byte to the three texts, n bytes to a line (0: no limit).
    // In two-port operation a CR LF in the data is followed by a stamp in Chr.
    void Append(QByteArrayView data, int n, bool twoPortMode);
    // Re-breaks the texts to n bytes per line and zeroes the counter.
    void Reflow(int n);
    void Clear();

private:
    void AppendByte(unsigned char byte, int n, bool twoPortMode);

    LineText texts_[3];
    int16_t lineCount_ = 0;
};
