#pragma once

#include "SimDevice.h"

#include <mutex>
#include <vector>

namespace devsim {

// A GSM data terminal taking AT commands: lines end with CR, LF is ignored,
// backspace edits, echo and verbose results on by default, commands chain
// with ";" and stop at the first error, and AT+CMGS="<number>" takes a text
// message after the "> " prompt (Ctrl-Z sends, ESC aborts).
class GsmTerminal : public SimDevice
{
    Q_OBJECT
public:
    struct Message
    {
        QByteArray number;
        QByteArray text;
    };

    explicit GsmTerminal(QObject *parent = nullptr);
    // The messages sent so far; readable from any thread.
    std::vector<Message> messages() const;

protected:
    void onBytes(const QByteArray &bytes) override;

private:
    enum class Mode { Command, MessageText };

    void takeCommandByte(char c);
    void takeMessageByte(char c);
    void runLine(const QByteArray &line);
    bool runCommand(const QByteArray &command, QByteArray &info);
    bool runExtended(const QByteArray &command, QByteArray &info);
    QByteArray infoLine(const QByteArray &text) const;
    QByteArray result(bool ok) const;
    QByteArray prompt() const { return "\r\n> "; }
    void reset();

    Mode m_mode = Mode::Command;
    QByteArray m_line;
    bool m_lineOverflow = false;
    bool m_echo = true;
    bool m_verbose = true;
    int m_errorReports = 0;
    int m_messageFormat = 1;
    QByteArray m_number;
    QByteArray m_text;
    int m_reference = 0;
    mutable std::mutex m_messagesMutex;
    std::vector<Message> m_messages;
};

}
