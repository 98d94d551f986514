#pragma once

#include <QByteArray>

#include <optional>
#include <vector>

namespace devsim {

// One extended AT command of a command line: "+NAME", "+NAME?", "+NAME=?"
// or "+NAME=<arguments>".
struct ExtendedCommand {
    enum class Form { Action, Query, Test, Set };

    struct Argument {
        QByteArray text; // without the quotes
        bool quoted = false;
    };

    QByteArray name;
    Form form = Form::Action;
    std::vector<Argument> arguments;

    // A bare decimal argument; an empty (left out) one gives fallback.
    std::optional<int> Number(size_t i, std::optional<int> fallback = std::nullopt) const;
    // A quoted argument.
    std::optional<QByteArray> String(size_t i) const;
};

// The parts of a command line's body (after "AT") between ";" outside quotes.
std::vector<QByteArray> SplitCommandLine(const QByteArray& body);
// Upper case outside quotes, so that at+cmgs="abc" reads as AT+CMGS="abc".
QByteArray UpperOutsideQuotes(const QByteArray& text);
// Nothing for a malformed command (no name, an unclosed quote, text after a quote).
std::optional<ExtendedCommand> ParseExtended(const QByteArray& command);

}
