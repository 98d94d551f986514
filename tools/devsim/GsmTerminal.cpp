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
constexpr qsizetype MaxMessage = 4096;

const QByteArray Manufacturer = "Wendale";
const QByteArray Model = "DevSim GSM";
const QByteArray Revision = "Revision 1.0";
const QByteArray SerialNumber = "490154203237518";
const QByteArray Identity = Manufacturer + ' ' + Model;

// Splits after "AT" at the ";" that are outside quotes.
std::vector<QByteArray> splitChain(const QByteArray &body)
{
    std::vector<QByteArray> parts;
    QByteArray part;
    bool quoted = false;
    for (char c : body) {
        if (c == '"')
            quoted = !quoted;
        if (c == ';' && !quoted) {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

// Upper case outside quotes, so that "at+cmgs=\"x\"" reads as "AT+CMGS=\"x\"".
QByteArray upperOutsideQuotes(const QByteArray &text)
{
    QByteArray out = text;
    bool quoted = false;
    for (char &c : out) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted)
            c = QChar::toUpper(uchar(c));
    }
    return out;
}
}

GsmTerminal::GsmTerminal(QObject *parent) : SimDevice(parent)
{
}

std::vector<GsmTerminal::Message> GsmTerminal::messages() const
{
    std::lock_guard lock(m_messagesMutex);
    return m_messages;
}

void GsmTerminal::onBytes(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (m_mode == Mode::Command)
            takeCommandByte(c);
        else
            takeMessageByte(c);
    }
}

void GsmTerminal::takeCommandByte(char c)
{
    if (c == Lf)
        return;
    if (m_echo)
        write(QByteArray(1, c));
    if (c == Cr) {
        const QByteArray line = m_lineOverflow ? QByteArray() : m_line;
        const bool overflow = m_lineOverflow;
        m_line.clear();
        m_lineOverflow = false;
        if (overflow)
            write(result(false));
        else
            runLine(line.trimmed());
    } else if (c == Backspace) {
        m_line.chop(1);
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
        if (m_text.size() > MaxMessage) {
            write(result(false));
            return;
        }
        {
            std::lock_guard lock(m_messagesMutex);
            m_messages.push_back({m_number, m_text});
        }
        write(infoLine("+CMGS: " + QByteArray::number(++m_reference)) + result(true));
    } else if (c == Esc) {
        m_mode = Mode::Command;
        write(result(true));
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
        write(result(false));
        return;
    }
    QByteArray info;
    const std::vector<QByteArray> commands = splitChain(upperOutsideQuotes(line.mid(2)));
    for (size_t i = 0; i < commands.size(); ++i) {
        const QByteArray command = commands[i].trimmed();
        static const QRegularExpression sendCommand(QStringLiteral("^\\+CMGS=\"([0-9+*#]{1,20})\"$"));
        const auto send = sendCommand.match(QString::fromLatin1(command));
        if (send.hasMatch() && m_messageFormat == 1 && i + 1 == commands.size()) {
            m_number = send.captured(1).toLatin1();
            m_text.clear();
            m_mode = Mode::MessageText;
            write(info + prompt());
            return;
        }
        if (!runCommand(command, info)) {
            write(info + result(false));
            return;
        }
    }
    write(info + result(true));
}

bool GsmTerminal::runCommand(const QByteArray &command, QByteArray &info)
{
    if (command.startsWith('+'))
        return runExtended(command, info);
    // Basic commands may follow one another without a separator: "E0V1".
    static const QRegularExpression basic(QStringLiteral("([EVIZ])(\\d*)"));
    qsizetype pos = 0;
    while (pos < command.size()) {
        const auto match = basic.match(QString::fromLatin1(command), pos,
                                       QRegularExpression::NormalMatch,
                                       QRegularExpression::AnchorAtOffsetMatchOption);
        if (!match.hasMatch())
            return false;
        const char letter = match.captured(1).at(0).toLatin1();
        const QString digits = match.captured(2);
        const int value = digits.isEmpty() ? 0 : digits.toInt();
        switch (letter) {
        case 'E':
        case 'V':
            if (value > 1)
                return false;
            (letter == 'E' ? m_echo : m_verbose) = value == 1;
            break;
        case 'I':
            if (value != 0)
                return false;
            info += infoLine(Identity);
            break;
        case 'Z':
            reset();
            break;
        }
        pos = match.capturedEnd();
    }
    return true;
}

bool GsmTerminal::runExtended(const QByteArray &command, QByteArray &info)
{
    const std::pair<const char *, QByteArray> fixedAnswers[] = {
        {"+CGMI", Manufacturer},
        {"+CGMM", Model},
        {"+CGMR", Revision},
        {"+CGSN", SerialNumber},
        {"+CSQ", "+CSQ: 21,0"},
        {"+CREG?", "+CREG: 0,1"},
        {"+CPIN?", "+CPIN: READY"},
    };
    for (const auto &[name, answer] : fixedAnswers) {
        if (command == name) {
            info += infoLine(answer);
            return true;
        }
    }
    if (command == "+CMEE?") {
        info += infoLine("+CMEE: " + QByteArray::number(m_errorReports));
        return true;
    }
    if (command == "+CMGF?") {
        info += infoLine("+CMGF: " + QByteArray::number(m_messageFormat));
        return true;
    }
    static const QRegularExpression setting(QStringLiteral("^\\+(CMEE|CMGF)=(\\d)$"));
    const auto match = setting.match(QString::fromLatin1(command));
    if (!match.hasMatch())
        return false;
    const int value = match.captured(2).toInt();
    if (match.captured(1) == QLatin1String("CMEE")) {
        if (value > 2)
            return false;
        m_errorReports = value;
    } else {
        if (value > 1)
            return false;
        m_messageFormat = value;
    }
    return true;
}

QByteArray GsmTerminal::infoLine(const QByteArray &text) const
{
    return m_verbose ? "\r\n" + text + "\r\n" : text + "\r\n";
}

QByteArray GsmTerminal::result(bool ok) const
{
    if (m_verbose)
        return ok ? "\r\nOK\r\n" : "\r\nERROR\r\n";
    return ok ? "0\r" : "4\r";
}

void GsmTerminal::reset()
{
    m_echo = true;
    m_verbose = true;
    m_errorReports = 0;
    m_messageFormat = 1;
}

}
