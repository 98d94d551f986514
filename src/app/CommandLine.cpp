#include "app/CommandLine.h"

#include "app/Version.h"

namespace {

// An argument as a message quotes it: a long one is cut, so that a pasted
// blob does not fill the terminal.
QString Quoted(const QString& argument)
{
    constexpr qsizetype Longest = 200;
    return argument.size() <= Longest ? argument : argument.left(Longest - 3) + QStringLiteral("...");
}

}

CommandLine ReadCommandLine(const QStringList& arguments)
{
    CommandLine line;
    const auto usage = [&line](const QString& problem) {
        line.outcome = CommandLine::Outcome::Usage;
        line.problem = problem;
        return line;
    };
    for (qsizetype at = 1; at < arguments.size(); ++at) {
        const QString& argument = arguments[at];
        if (argument == u"--help" || argument == u"-h" || argument == u"--version") {
            line.outcome = argument == u"--version" ? CommandLine::Outcome::Version : CommandLine::Outcome::Help;
            return line;
        }
        if (argument == u"--defaults") {
            line.defaults = true;
            continue;
        }
        // Each option takes a file, as "--log FILE" or "--log=FILE".
        const bool text = argument == u"--log-text" || argument.startsWith(u"--log-text=");
        const QString option = text ? QStringLiteral("--log-text") : QStringLiteral("--log");
        QString file;
        if (argument == option) {
            if (at + 1 < arguments.size())
                file = arguments[++at];
        } else if (argument.startsWith(option + u'=')) {
            file = argument.mid(option.size() + 1);
        } else {
            return usage(QStringLiteral("unknown option %1").arg(Quoted(argument)));
        }
        if (file.isEmpty())
            return usage(QStringLiteral("%1 needs a file name").arg(option));
        // The last one winning silently would log somewhere the user did not look.
        QString& target = text ? line.textLogFile : line.logFile;
        if (!target.isEmpty())
            return usage(QStringLiteral("%1 given twice").arg(option));
        target = file;
    }
    return line;
}

QString CommandLineUsage()
{
    return QStringLiteral("usage: wendale [--log FILE] [--log-text FILE] [--defaults] [--help] [--version]");
}

QString CommandLineVersion()
{
    return QStringLiteral("wendale ") + modZEMO::VersionString;
}

QString CommandLineHelp()
{
    return CommandLineUsage() + QStringLiteral(
               "\n\n"
               "Watches and drives serial ports.\n\n"
               "  --log FILE   append every byte received on the primary port to FILE, exactly as\n"
               "               received; in Transparent operation the second port's bytes go to FILE\n"
               "               with the port's name before the extension (capture.COM7.bin);\n"
               "               FILE - is standard output, which takes the primary port's bytes only\n"
               "  --log-text FILE\n"
               "               append the timeline to FILE as text lines, what was sent and received\n"
               "               (both directions in Transparent operation), one line per run:\n"
               "               14:03:07.123 COM6 > COM7  41 54 0D  AT.\n"
               "  --defaults   start with the first-run choices; the choices kept in\n"
               "               $XDG_CONFIG_HOME/wendale/wendale.conf are neither read nor changed\n"
               "  -h, --help   print this help and exit\n"
               "  --version    print the version and exit\n\n"
               "Ports: COMn entries in $WENDALE_PORTS_DIR, or else in ~/.config/wendale/ports\n"
               "(links to devices, or rfc2217://HOST:PORT and tcp://HOST:PORT), then the\n"
               "machine's serial devices, numbered automatically.\n");
}
