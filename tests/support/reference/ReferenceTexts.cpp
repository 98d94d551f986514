#include "support/reference/ReferenceTexts.h"

#include "convert/Conversions.h"

#include <QString>
#include <QTime>
#include <algorithm>

QByteArray ReferenceTexts::StampText(StampKind kind, const modZEMO::StampMoment& moment,
                                     const modZEMO::StampMoment& previous)
{
    switch (kind) {
    case StampKind::Ticks: return modZEMO::StampText(moment.ticks);
    case StampKind::TimeOfDay:
        return ' ' + QTime::fromMSecsSinceStartOfDay(moment.timeOfDay).toString(u"hh:mm:ss.zzz").toLatin1() + ": ";
    case StampKind::SinceConnect: return QString::asprintf("%11.3f s: ", double(moment.sinceConnect) / 1000).toLatin1();
    case StampKind::SincePreviousLine: {
        const int64_t gap = std::max<int64_t>(0, moment.sinceConnect - previous.sinceConnect);
        return QString::asprintf("%+11.3f s: ", double(gap) / 1000).toLatin1();
    }
    }
    return {};
}

void ReferenceTexts::AddStamp(int format, bool withBreak, const modZEMO::StampMoment& moment)
{
    for (int kind = 0; kind < Kinds; ++kind) {
        if (withBreak)
            texts_[kind][format].Append("\r\n");
        texts_[kind][format].Append(StampText(StampKind(kind), moment, previous_[format]));
    }
    previous_[format] = moment;
    ends_[format] = withBreak ? End::Break : End::Stamp;
}

void ReferenceTexts::Append(QByteArrayView data, const LineRules& rules, const modZEMO::StampMoment& moment)
{
    if (data.isEmpty())
        return;
    if (received_ == 0) {
        std::fill(std::begin(previous_), std::end(previous_), moment);
    } else if (rules.pauseMs > 0 && sinceReflow_ > 0 && moment.sinceConnect - lastRead_ >= rules.pauseMs) {
        // After a pause every text begins a line, unless it stands at the
        // start of one; in Chr a line that the data began gets its stamp.
        lineCount_ = 0;
        for (const int format : {0, 1})
            if (ends_[format] != End::Break)
                AddStamp(format, true, moment);
        if (ends_[2] == End::Other)
            AddStamp(2, !Text(2).EndsWithLineBreak(), moment);
    }
    lastRead_ = moment.sinceConnect;
    for (const char ch : data) {
        const QByteArray cells[3] = {modZEMO::CharToBinary(ch), modZEMO::CharToHex(ch) + ' ', QByteArray(1, ch)};
        for (LineText(&kind)[3] : texts_)
            for (int format = 0; format < 3; ++format)
                kind[format].Append(cells[format]);
        std::fill(std::begin(ends_), std::end(ends_), End::Other);
        ++received_;
        ++sinceReflow_;
        if (Text(2).EndsWithLineBreak()) {
            if (rules.twoPortMode || rules.stampEveryLine)
                AddStamp(2, false, moment);
        } else if (ch == '\n' && rules.stampEveryLine) {
            AddStamp(2, true, moment);
        }
        ++lineCount_;
        if (rules.n > 0 && lineCount_ >= rules.n) {
            // A line that was broken here already is not broken twice.
            for (int format = 0; format < 3; ++format)
                if (ends_[format] != End::Break)
                    AddStamp(format, true, moment);
            lineCount_ = int16_t(lineCount_ - rules.n);
        } else if (rules.n == 0) {
            lineCount_ = 0;
        }
    }
}

void ReferenceTexts::Reflow(int n)
{
    lineCount_ = 0;
    sinceReflow_ = 0;
    const int perByte[3] = {8, 3, 1};
    for (LineText(&kind)[3] : texts_)
        for (int format = 0; format < 3; ++format)
            kind[format].Reflow(qsizetype(perByte[format]) * n);
}

void ReferenceTexts::Clear()
{
    for (LineText(&kind)[3] : texts_)
        for (LineText& text : kind)
            text.Clear();
    std::fill(std::begin(ends_), std::end(ends_), End::Other);
    received_ = sinceReflow_ = 0;
    lastRead_ = 0;
    lineCount_ = 0;
}
