#include "GsmTerminal.h"

#include <QRegularExpression>

namespace devsim {

namespace {
constexpr char Cr = '\r';
constexpr char Lf = '\n';
constexpr char Backspace = '\b';
constexpr char CtrlZ = 0x1A;
constexpr char Esc = 0x1B;
constexpr qsizetype MaxLine = 512;
// Longer than any message in either mode, so that one too long is still refused.
constexpr qsizetype MaxMessage = 1024;

using Outcome = GsmCommandSet::Outcome;
}

GsmTerminal::GsmTerminal(QObject *parent) : SimDevice(parent), m_quietTimer(new QTimer(this))
{
    m_quietTimer->setSingleShot(true);
    connect(m_quietTimer, &QTimer::timeout, this, &GsmTerminal::dropUnfinished);
}

void GsmTerminal::onBytes(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (m_mode == Mode::Command)
            takeCommandByte(c);
        else
            takeMessageByte(c);
    }
    if (m_mode == Mode::MessageText || !m_line.isEmpty() || m_lineOverflow)
        m_quietTimer->start(m_quietTime);
    else
        m_quietTimer->stop();
}

void GsmTerminal::takeCommandByte(char c)
{
    if (c == Lf)
        return;
    if (m_echo)
        write(QByteArray(1, c));
    if (c == Cr) {
        const QByteArray line = m_line;
        const bool overflow = m_lineOverflow;
        m_line.clear();
        m_lineOverflow = false;
        if (overflow)
            write(finalResult({Outcome::Kind::Error}));
        else
            runLine(line.trimmed());
    } else if (c == Backspace) {
        m_line.chop(1);
    } else if (uchar(c) < 0x20) {
        return;  // other control characters have no place in a command
    } else if (m_line.size() < MaxLine) {
        m_line += c;
    } else {
        m_lineOverflow = true;
    }
}

void GsmTerminal::takeMessageByte(char c)
{
    if (c == CtrlZ) {
        m_mode = Mode::Command;
        const Outcome outcome = m_commands.send(m_text);
        write(infoLines(outcome.info) + finalResult(outcome));
    } else if (c == Esc) {
        m_mode = Mode::Command;
        write(finalResult({}));
    } else if (c == Cr) {
        m_text += '\n';
        write(prompt());
    } else if (c == Backspace) {
        if (m_echo)
            write(QByteArray(1, c));
        m_text.chop(1);
    } else if (c != Lf) {
        if (m_echo)
            write(QByteArray(1, c));
        if (m_text.size() <= MaxMessage)
            m_text += c;
    }
}

void GsmTerminal::runLine(const QByteArray &line)
{
    if (line.isEmpty())
        return;
    if (!line.toUpper().startsWith("AT")) {
        write(finalResult({Outcome::Kind::Error}));
        return;
    }
    QByteArray info;
    const std::vector<QByteArray> commands = splitCommandLine(upperOutsideQuotes(line.mid(2)));
    for (size_t i = 0; i < commands.size(); ++i) {
        const QByteArray command = commands[i].trimmed();
        if (!command.startsWith('+')) {
            if (!runBasic(command, info)) {
                write(info + finalResult({Outcome::Kind::Error}));
                return;
            }
            continue;
        }
        const auto parsed = parseExtended(command);
        const Outcome outcome = parsed ? m_commands.run(*parsed) : Outcome{Outcome::Kind::Error};
        info += infoLines(outcome.info);
        // A message follows the prompt, so nothing may follow the command on its line.
        if (outcome.kind == Outcome::Kind::Prompt && i + 1 == commands.size()) {
            m_text.clear();
            m_mode = Mode::MessageText;
            write(info + prompt());
            return;
        }
        if (outcome.kind != Outcome::Kind::Ok) {
            write(info + finalResult(outcome.kind == Outcome::Kind::Prompt ? Outcome{Outcome::Kind::Error} : outcome));
            return;
        }
    }
    write(info + finalResult({}));
}

bool GsmTerminal::runBasic(const QByteArray &command, QByteArray &info)
{
    // Basic commands may follow one another without a separator: "E0V1".
    static const QRegularExpression basic(QStringLiteral("([EVIZ]|&F)(\\d*)"));
    qsizetype pos = 0;
    while (pos < command.size()) {
        const auto match = basic.match(QString::fromLatin1(command), pos, QRegularExpression::NormalMatch,
                                       QRegularExpression::AnchorAtOffsetMatchOption);
        if (!match.hasMatch())
            return false;
        const QString name = match.captured(1);
        const QString digits = match.captured(2);
        const int value = digits.isEmpty() ? 0 : digits.toInt();
        if (value > (name == u"E" || name == u"V" ? 1 : 0))
            return false;
        if (name == u"E") {
            m_echo = value == 1;
        } else if (name == u"V") {
            m_verbose = value == 1;
        } else if (name == u"I") {
            info += infoLines(GsmCommandSet::identity());
        } else {
            m_echo = true;
            m_verbose = true;
            m_commands.reset();
        }
        pos = match.capturedEnd();
    }
    return true;
}

void GsmTerminal::dropUnfinished()
{
    m_line.clear();
    m_lineOverflow = false;
    m_text.clear();
    m_mode = Mode::Command;
}

QByteArray GsmTerminal::infoLines(const QByteArray &text) const
{
    if (text.isEmpty())
        return {};
    return m_verbose ? "\r\n" + text + "\r\n" : text + "\r\n";
}

QByteArray GsmTerminal::finalResult(const Outcome &outcome) const
{
    if (outcome.kind == Outcome::Kind::Ok)
        return m_verbose ? "\r\nOK\r\n" : "0\r";
    const QByteArray text = m_commands.errorResult(outcome);
    if (text == "ERROR")
        return m_verbose ? "\r\nERROR\r\n" : "4\r";
    return infoLines(text);
}

}
