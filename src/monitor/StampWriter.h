#pragma once

#include "monitor/TickCounter.h"

#include <cstdint>
#include <optional>

// The kinds of stamp a received text can show. Every kind is StampLength
// characters, so that switching kinds moves nothing in the texts and a
// re-break counts each kind alike:
//   Ticks              "00000001234ms: " (10 ms ticks since the connect)
//   TimeOfDay          " 14:03:07.123: " (the local time of the read)
//   SinceConnect       "     12.345 s: " (starts again at 0 after 9999999.999 s)
//   SincePreviousLine  "     +0.120 s: " (since the stamp before in the same
//                                         text; gaps beyond 999999.999 s show that)
enum class StampKind { Ticks, TimeOfDay, SinceConnect, SincePreviousLine };

// Writes the stamps of a text in their order: Since Previous Line measures
// from the stamp written before, the first one from previous.
class StampWriter {
public:
    StampWriter(StampKind kind, const modZEMO::StampMoment& previous);
    // The StampLength characters of moment's stamp, valid until the next call.
    const char* Next(const modZEMO::StampMoment& moment);

private:
    StampKind kind_;
    modZEMO::StampMoment previous_;
    std::optional<int64_t> written_; // the value text_ shows
    char text_[modZEMO::StampLength];
};
