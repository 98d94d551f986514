#pragma once

#include "support/reference/LineText.h"

#include <QByteArrayView>
#include <cstdint>

// The received texts as they were first built: every byte kept as three
// texts. The receive model must produce exactly these texts.
class ReferenceTexts {
public:
    const LineText& Text(int format) const { return texts_[format]; }
    void Append(QByteArrayView data, int n, bool twoPortMode, int32_t stamp);
    void Reflow(int n);
    void Clear();

private:
    LineText texts_[3];
    int16_t lineCount_ = 0;
};
