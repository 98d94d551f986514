#pragma once

#include "monitor/ReceivedTexts.h"
#include "monitor/StampWriter.h"
#include "monitor/TickCounter.h"
#include "support/reference/LineText.h"

#include <QByteArrayView>
#include <cstdint>

// The received texts as they were first built: every byte kept as three
// texts, here once for each kind of stamp, the stamps written out as they
// come. The receive model must produce exactly these texts.
class ReferenceTexts {
public:
    const LineText& Text(int format, StampKind kind = StampKind::Ticks) const
    {
        return texts_[int(kind)][format];
    }
    void Append(QByteArrayView data, const LineRules& rules, const modZEMO::StampMoment& moment);
    void Reflow(int n);
    void Clear();

    // A stamp as its kind writes it, previous being the stamp before it.
    static QByteArray StampText(StampKind kind, const modZEMO::StampMoment& moment,
                                const modZEMO::StampMoment& previous);

private:
    // What a text ends with.
    enum class End { Other, Stamp, Break };
    void AddStamp(int format, bool withBreak, const modZEMO::StampMoment& moment);

    static constexpr int Kinds = 4;
    LineText texts_[Kinds][3];
    End ends_[3] = {End::Other, End::Other, End::Other};
    modZEMO::StampMoment previous_[3]; // each text's stamp before, at first its first byte
    qsizetype received_ = 0;           // bytes since the last Clear
    qsizetype sinceReflow_ = 0;        // bytes since the last re-break or Clear
    int64_t lastRead_ = 0;
    int16_t lineCount_ = 0;
};
