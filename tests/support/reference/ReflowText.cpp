#include "support/reference/ReflowText.h"

#include <algorithm>
#include <cstring>

namespace {

// Works like a stack: a LF meeting a kept CR takes it back.
void StripLineEnds(QByteArray& text)
{
    const qsizetype size = text.size();
    char* data = text.data();
    qsizetype kept = 0;
    qsizetype at = 0;
    while (at < size) {
        const void* hit = std::memchr(data + at, '\n', size_t(size - at));
        const qsizetype end = hit ? static_cast<const char*>(hit) - data : size;
        if (kept != at)
            std::memmove(data + kept, data + at, size_t(end - at));
        kept += end - at;
        at = end;
        if (at == size)
            break;
        if (kept > 0 && data[kept - 1] == '\r')
            --kept;
        else
            data[kept++] = '\n';
        ++at;
    }
    text.truncate(kept);
}

// Moves the pieces up from the last one down, so nothing is overwritten
// before it has moved.
void CutIntoLines(QByteArray& text, qsizetype width)
{
    const qsizetype size = text.size();
    if (width <= 0 || size <= width)
        return;
    const qsizetype pieces = (size + width - 1) / width;
    text.resize(size + 2 * (pieces - 1));
    char* data = text.data();
    for (qsizetype piece = pieces - 1; piece > 0; --piece) {
        const qsizetype from = piece * width;
        const qsizetype to = piece * (width + 2);
        std::memmove(data + to, data + from, size_t(std::min(width, size - from)));
        data[to - 2] = '\r';
        data[to - 1] = '\n';
    }
}

}

void ReflowText(QByteArray& text, qsizetype width)
{
    StripLineEnds(text);
    CutIntoLines(text, width);
}
