#include "monitor/ShownCharacters.h"

#include <array>

namespace shownchars {

namespace {

constexpr char16_t Unassigned = u'\uFFFD';

// 0x80-0x9F in Windows-1252.
constexpr std::array<char16_t, 32> HighControls{
    u'\u20AC', Unassigned, u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', Unassigned, u'\u017D', Unassigned,
    Unassigned, u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', Unassigned, u'\u017E', u'\u0178'};

}

char16_t ShownCharacter(uchar byte)
{
    if (byte < 0x20)
        return char16_t(0x2400 + byte);
    if (byte == 0x7F)
        return u'\u2421';
    if (byte >= 0x80 && byte <= 0x9F)
        return HighControls[byte - 0x80];
    return byte;
}

bool Dimmed(uchar byte)
{
    return byte < 0x20 || byte == 0x7F || ShownCharacter(byte) == Unassigned;
}

}
