#include "devsim/GsmTerminal.h"

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

GsmTerminal::GsmTerminal(QObject* parent)
    : SimDevice(parent)
    , quietTimer_(new QTimer(this))
{
    quietTimer_->setSingleShot(true);
    connect(quietTimer_, &QTimer::timeout, this, &GsmTerminal::DropUnfinished);
}

void GsmTerminal::OnBytes(const QByteArray& bytes)
{
    for (char c : bytes) {
        if (mode_ == Mode::Command)
            TakeCommandByte(c);
        else
            TakeMessageByte(c);
    }
    if (mode_ == Mode::MessageText || !line_.isEmpty() || lineOverflow_)
        quietTimer_->start(quietTime_);
    else
        quietTimer_->stop();
}

void GsmTerminal::TakeCommandByte(char c)
{
    if (c == Lf)
        return;
    if (echo_)
        Write(QByteArray(1, c));
    if (c == Cr) {
        const QByteArray line = line_;
        const bool overflow = lineOverflow_;
        line_.clear();
        lineOverflow_ = false;
        if (overflow)
            Write(FinalResult({Outcome::Kind::Error}));
        else
            RunLine(line.trimmed());
    } else if (c == Backspace) {
        line_.chop(1);
    } else if (uchar(c) < 0x20) {
        return; // other control characters have no place in a command
    } else if (line_.size() < MaxLine) {
        line_ += c;
    } else {
        lineOverflow_ = true;
    }
}

void GsmTerminal::TakeMessageByte(char c)
{
    if (c == CtrlZ) {
        mode_ = Mode::Command;
        const Outcome outcome = commands_.Send(text_);
        Write(InfoLines(outcome.info) + FinalResult(outcome));
    } else if (c == Esc) {
        mode_ = Mode::Command;
        Write(FinalResult({}));
    } else if (c == Cr) {
        text_ += '\n';
        Write(Prompt());
    } else if (c == Backspace) {
        if (echo_)
            Write(QByteArray(1, c));
        text_.chop(1);
    } else if (c != Lf) {
        if (echo_)
            Write(QByteArray(1, c));
        if (text_.size() <= MaxMessage)
            text_ += c;
    }
}

void GsmTerminal::RunLine(const QByteArray& line)
{
    if (line.isEmpty())
        return;
    if (!line.toUpper().startsWith("AT")) {
        Write(FinalResult({Outcome::Kind::Error}));
        return;
    }
    QByteArray info;
    const std::vector<QByteArray> commands = SplitCommandLine(UpperOutsideQuotes(line.mid(2)));
    for (size_t i = 0; i < commands.size(); ++i) {
        const QByteArray command = commands[i].trimmed();
        if (!command.startsWith('+')) {
            if (!RunBasic(command, info)) {
                Write(info + FinalResult({Outcome::Kind::Error}));
                return;
            }
            continue;
        }
        const auto parsed = ParseExtended(command);
        const Outcome outcome = parsed ? commands_.Run(*parsed) : Outcome{Outcome::Kind::Error};
        info += InfoLines(outcome.info);
        // A message follows the prompt, so nothing may follow the command on its line.
        if (outcome.kind == Outcome::Kind::Prompt && i + 1 == commands.size()) {
            text_.clear();
            mode_ = Mode::MessageText;
            Write(info + Prompt());
            return;
        }
        if (outcome.kind != Outcome::Kind::Ok) {
            Write(info + FinalResult(outcome.kind == Outcome::Kind::Prompt ? Outcome{Outcome::Kind::Error} : outcome));
            return;
        }
    }
    Write(info + FinalResult({}));
}

bool GsmTerminal::RunBasic(const QByteArray& command, QByteArray& info)
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
            echo_ = value == 1;
        } else if (name == u"V") {
            verbose_ = value == 1;
        } else if (name == u"I") {
            info += InfoLines(GsmCommandSet::Identity());
        } else {
            echo_ = true;
            verbose_ = true;
            commands_.Reset();
        }
        pos = match.capturedEnd();
    }
    return true;
}

void GsmTerminal::DropUnfinished()
{
    line_.clear();
    lineOverflow_ = false;
    text_.clear();
    mode_ = Mode::Command;
}

QByteArray GsmTerminal::InfoLines(const QByteArray& text) const
{
    if (text.isEmpty())
        return {};
    return verbose_ ? "\r\n" + text + "\r\n" : text + "\r\n";
}

QByteArray GsmTerminal::FinalResult(const Outcome& outcome) const
{
    if (outcome.kind == Outcome::Kind::Ok)
        return verbose_ ? "\r\nOK\r\n" : "0\r";
    const QByteArray text = commands_.ErrorResult(outcome);
    if (text == "ERROR")
        return verbose_ ? "\r\nERROR\r\n" : "4\r";
    return InfoLines(text);
}

}
