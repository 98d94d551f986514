#pragma once

#include "devsim/GsmCommandSet.h"
#include "devsim/SimDevice.h"

#include <chrono>

namespace devsim {

// A GSM data terminal taking AT commands: lines end with CR, LF is ignored,
// backspace edits, echo and verbose results on by default, commands chain
// with ";" and stop at the first error. AT+CMGS takes a message after the
// "> " prompt (Ctrl-Z sends, ESC aborts): text in text mode, a hex PDU in
// PDU mode. A command line or message left unfinished for the quiet time
// (a client that went away mid-command) is dropped, so the next client's
// commands are answered.
class GsmTerminal : public SimDevice {
    Q_OBJECT

public:
    using Message = GsmCommandSet::SentMessage;

    explicit GsmTerminal(QObject* parent = nullptr);
    // For before the start.
    void SetQuietTime(std::chrono::milliseconds quiet) { quietTime_ = quiet; }
    // The messages sent so far; readable from any thread.
    std::vector<Message> Messages() const { return commands_.SentMessages(); }

protected:
    void OnBytes(const QByteArray& bytes) override;

private:
    enum class Mode { Command, MessageText };

    void TakeCommandByte(char c);
    void TakeMessageByte(char c);
    void RunLine(const QByteArray& line);
    bool RunBasic(const QByteArray& command, QByteArray& info);
    void DropUnfinished();
    QByteArray InfoLines(const QByteArray& text) const;
    QByteArray FinalResult(const GsmCommandSet::Outcome& outcome) const;
    QByteArray Prompt() const { return "\r\n> "; }

    Mode mode_ = Mode::Command;
    QByteArray line_;
    bool lineOverflow_ = false;
    bool echo_ = true;
    bool verbose_ = true;
    QByteArray text_;
    GsmCommandSet commands_;
    QTimer* quietTimer_;
    std::chrono::milliseconds quietTime_{30000};
};

}
