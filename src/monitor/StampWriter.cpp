#include "monitor/StampWriter.h"

#include <algorithm>

namespace {

constexpr int64_t SinceConnectWrap = 10'000'000'000; // ms: seven digits of seconds
constexpr int64_t LongestGap = 999'999'999;          // ms: six digits of seconds and the sign

// Writes value's last width digits, leading zeros included.
void WriteDigits(uint64_t value, int width, char* out)
{
    for (int digit = width - 1; digit >= 0; --digit, value /= 10)
        out[digit] = char('0' + value % 10);
}

// Writes ms as seconds with three decimals and " s: ", right-aligned in
// StampLength characters with blanks before it; sign, when given, stands
// just before the first digit.
void WriteSeconds(uint64_t ms, char sign, char* out)
{
    constexpr int Width = modZEMO::StampLength - 4;
    WriteDigits(ms % 1000, 3, out + Width - 3);
    out[Width - 4] = '.';
    char* first = out + Width - 4;
    uint64_t seconds = ms / 1000;
    do {
        *--first = char('0' + seconds % 10);
        seconds /= 10;
    } while (seconds > 0);
    if (sign != 0)
        *--first = sign;
    std::fill(out, first, ' ');
    std::copy_n(" s: ", 4, out + Width);
}

void WriteTimeOfDay(int32_t ms, char* out)
{
    const auto value = uint64_t(ms);
    out[0] = ' ';
    WriteDigits(value / 3'600'000, 2, out + 1);
    out[3] = ':';
    WriteDigits(value / 60'000 % 60, 2, out + 4);
    out[6] = ':';
    WriteDigits(value / 1000 % 60, 2, out + 7);
    out[9] = '.';
    WriteDigits(value % 1000, 3, out + 10);
    std::copy_n(": ", 2, out + 13);
}

}

StampWriter::StampWriter(StampKind kind, const modZEMO::StampMoment& previous)
    : kind_(kind)
    , previous_(previous)
{
}

const char* StampWriter::Next(const modZEMO::StampMoment& moment)
{
    int64_t value = 0;
    switch (kind_) {
    case StampKind::Ticks: value = moment.ticks; break;
    case StampKind::TimeOfDay: value = moment.timeOfDay; break;
    case StampKind::SinceConnect: value = (moment.sinceConnect % SinceConnectWrap + SinceConnectWrap) % SinceConnectWrap; break;
    // A reconnect starts the time since the connect again: that gap is no gap.
    case StampKind::SincePreviousLine:
        value = std::clamp<int64_t>(moment.sinceConnect - previous_.sinceConnect, 0, LongestGap);
        break;
    }
    previous_ = moment;
    if (written_ == value)
        return text_;
    written_ = value;
    switch (kind_) {
    case StampKind::Ticks: modZEMO::WriteStampText(int32_t(value), text_); break;
    case StampKind::TimeOfDay: WriteTimeOfDay(int32_t(value), text_); break;
    case StampKind::SinceConnect: WriteSeconds(uint64_t(value), 0, text_); break;
    case StampKind::SincePreviousLine: WriteSeconds(uint64_t(value), '+', text_); break;
    }
    return text_;
}
