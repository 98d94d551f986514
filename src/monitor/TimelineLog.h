#pragma once

#include "monitor/CaptureLog.h"
#include "monitor/Timeline.h"

#include <QByteArray>
#include <array>

// A timeline written as text, one line per run of one direction: the time
// of day with milliseconds, the direction, the bytes in hex and as
// printable characters (dots for the rest), e.g.
//   14:03:07.123 COM6 > COM7  41 54 0D  AT.
// and each modem line change on a line of its own. A run still going is
// written once it is half a second old, and goes on in a new line.
class TimelineLog {
public:
    bool Open(const QString& path, QString& error) { return file_.Open(path, error); }
    bool IsOpen() const { return file_.IsOpen(); }
    QString Path() const { return file_.Path(); }
    void Close();

    // Writes what timeline has gained since, each source headed by its label;
    // nowMs is the time since the connect. False with the reason in error
    // when the write failed.
    bool Take(const Timeline& timeline, const std::array<QByteArray, 3>& labels, int64_t nowMs, QString& error);
    // Writes from the timeline's entry first on: at the start, what comes
    // from now; after the timeline was emptied, 0.
    void StartAt(qsizetype first) { taken_ = first; }

private:
    static constexpr int64_t LongestWaitMs = 500;

    void EndRun();

    CaptureLog file_;
    qsizetype taken_ = 0; // timeline entries written or held in the run
    int runSource_ = -1;
    int32_t runTime_ = 0; // time of day of the run's first bytes
    int64_t runStartMs_ = 0;
    QByteArray runLabel_;
    QByteArray run_;
    QByteArray out_; // lines not yet written
};
