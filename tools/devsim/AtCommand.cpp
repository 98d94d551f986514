#include "devsim/AtCommand.h"

namespace devsim {

namespace {
// Splits at the separator where it stands outside quotes.
std::vector<QByteArray> SplitOutsideQuotes(const QByteArray& text, char separator)
{
    std::vector<QByteArray> parts(1);
    bool quoted = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (c == separator && !quoted)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

bool IsNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}
}

std::optional<int> ExtendedCommand::Number(size_t i, std::optional<int> fallback) const
{
    if (i >= arguments.size() || (arguments[i].text.isEmpty() && !arguments[i].quoted))
        return fallback;
    if (arguments[i].quoted || arguments[i].text.size() > 9)
        return std::nullopt;
    bool ok = false;
    const int value = arguments[i].text.toInt(&ok);
    return ok && value >= 0 ? std::optional(value) : std::nullopt;
}

std::optional<QByteArray> ExtendedCommand::String(size_t i) const
{
    if (i >= arguments.size() || !arguments[i].quoted)
        return std::nullopt;
    return arguments[i].text;
}

std::vector<QByteArray> SplitCommandLine(const QByteArray& body)
{
    return SplitOutsideQuotes(body, ';');
}

QByteArray UpperOutsideQuotes(const QByteArray& text)
{
    QByteArray out = text;
    bool quoted = false;
    for (char& c : out) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return out;
}

std::optional<ExtendedCommand> ParseExtended(const QByteArray& command)
{
    if (!command.startsWith('+'))
        return std::nullopt;
    ExtendedCommand parsed;
    qsizetype end = 1;
    while (end < command.size() && IsNameCharacter(command[end]))
        ++end;
    if (end == 1)
        return std::nullopt;
    parsed.name = command.left(end);
    const QByteArray rest = command.mid(end);
    if (rest.isEmpty())
        return parsed;
    if (rest == "?") {
        parsed.form = ExtendedCommand::Form::Query;
        return parsed;
    }
    if (rest == "=?") {
        parsed.form = ExtendedCommand::Form::Test;
        return parsed;
    }
    if (!rest.startsWith('=') || rest.count('"') % 2 != 0)
        return std::nullopt;
    parsed.form = ExtendedCommand::Form::Set;
    for (const QByteArray& part : SplitOutsideQuotes(rest.mid(1), ',')) {
        const QByteArray text = part.trimmed();
        const bool quoted = text.startsWith('"');
        if (quoted && (text.size() < 2 || !text.endsWith('"') || text.count('"') != 2))
            return std::nullopt;
        parsed.arguments.push_back({quoted ? text.mid(1, text.size() - 2) : text, quoted});
    }
    return parsed;
}

}
