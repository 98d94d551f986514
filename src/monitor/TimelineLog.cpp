#include "monitor/TimelineLog.h"

#include <QByteArrayView>

namespace {

void AppendTime(int32_t ms, QByteArray& out)
{
    const auto two = [&](int value) { out += char('0' + value / 10 % 10); out += char('0' + value % 10); };
    two(ms / 3'600'000);
    out += ':';
    two(ms / 60'000 % 60);
    out += ':';
    two(ms / 1000 % 60);
    out += '.';
    out += QByteArray::number(1000 + ms % 1000).mid(1);
}

}

void TimelineLog::Close()
{
    file_.Close();
    run_.clear();
    runSource_ = -1;
}

void TimelineLog::EndRun()
{
    if (runSource_ < 0)
        return;
    AppendTime(runTime_, out_);
    out_ += ' ' + runLabel_ + "  " + run_.toHex(' ').toUpper() + "  ";
    for (char& ch : run_)
        if (uchar(ch) < 0x20 || uchar(ch) >= 0x7F)
            ch = '.';
    out_ += run_ + '\n';
    run_.clear();
    runSource_ = -1;
}

bool TimelineLog::Take(const Timeline& timeline, const std::array<QByteArray, 3>& labels, int64_t nowMs,
                       QString& error)
{
    for (; taken_ < timeline.Count(); ++taken_) {
        const Timeline::Entry& e = timeline.At(taken_);
        if (e.source != runSource_)
            EndRun();
        if (e.source == Timeline::LineChange) {
            AppendTime(e.moment.timeOfDay, out_);
            out_ += ' ';
            out_ += Timeline::ChangeText(e) + '\n';
            continue;
        }
        if (runSource_ < 0) {
            runSource_ = e.source;
            runTime_ = e.moment.timeOfDay;
            runStartMs_ = e.moment.sinceConnect;
            runLabel_ = labels[e.source];
        }
        const qsizetype at = run_.size();
        run_.resize(at + e.count);
        timeline.Bytes(e.source).CopyTo(e.from, e.from + e.count, run_.data() + at);
    }
    // A reconnect starts the time since the connect again.
    if (nowMs - runStartMs_ >= LongestWaitMs || nowMs < runStartMs_)
        EndRun();
    if (out_.isEmpty())
        return true;
    const bool written = file_.Write(out_, error);
    out_.clear();
    return written;
}
