#pragma once

#include "GsmCommandSet.h"
#include "SimDevice.h"

#include <chrono>

namespace devsim {

// A GSM data terminal taking AT commands: lines end with CR, LF is ignored,
// backspace edits, echo and verbose results on by default, commands chain
// with ";" and stop at the first error. AT+CMGS takes a message after the
// "> " prompt (Ctrl-Z sends, ESC aborts): text in text mode, a hex PDU in
// PDU mode. A command line or message left unfinished for the quiet time
// (a client that went away mid-command) is dropped, so the next client's
// commands are answered.
class GsmTerminal : public SimDevice
{
    Q_OBJECT
public:
    using Message = GsmCommandSet::SentMessage;

    explicit GsmTerminal(QObject *parent = nullptr);
    // For before the start.
    void setQuietTime(std::chrono::milliseconds quiet) { m_quietTime = quiet; }
    // The messages sent so far; readable from any thread.
    std::vector<Message> messages() const { return m_commands.sentMessages(); }

protected:
    void onBytes(const QByteArray &bytes) override;

private:
    enum class Mode { Command, MessageText };

    void takeCommandByte(char c);
    void takeMessageByte(char c);
    void runLine(const QByteArray &line);
    bool runBasic(const QByteArray &command, QByteArray &info);
    void dropUnfinished();
    QByteArray infoLines(const QByteArray &text) const;
    QByteArray finalResult(const GsmCommandSet::Outcome &outcome) const;
    QByteArray prompt() const { return "\r\n> "; }

    Mode m_mode = Mode::Command;
    QByteArray m_line;
    bool m_lineOverflow = false;
    bool m_echo = true;
    bool m_verbose = true;
    QByteArray m_text;
    GsmCommandSet m_commands;
    QTimer *m_quietTimer;
    std::chrono::milliseconds m_quietTime{30000};
};

}
