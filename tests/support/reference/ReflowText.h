#pragma once

#include <QByteArray>

// Re-breaks text into lines of width characters, in place: every CR LF pair
// is removed (also one at the very start, and pairs that a removal brings
// together), then the rest is cut into pieces of width characters joined by
// CR LF. Stamps and lone CR or LF stay and count as one character each.
// A width of 0 or less leaves one line.
void ReflowText(QByteArray& text, qsizetype width);
