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
        QString file;
        if (argument == u"--log") {
            if (at + 1 < arguments.size())
                file = arguments[++at];
        } else if (argument.startsWith(u"--log=")) {
            file = argument.mid(6);
        } else {
            return usage(QStringLiteral("unknown option %1").arg(Quoted(argument)));
        }
        if (file.isEmpty())
            return usage(QStringLiteral("--log needs a file name"));
        // The last one winning silently would log somewhere the user did not look.
        if (!line.logFile.isEmpty())
            return usage(QStringLiteral("--log given twice"));
        line.logFile = file;
    }
    return line;
}

QString CommandLineUsage()
{
    return QStringLiteral("usage: wendale [--log FILE] [--defaults] [--help] [--version]");
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
               "  --defaults   start with the first-run choices; the choices kept in\n"
               "               $XDG_CONFIG_HOME/wendale/wendale.conf are neither read nor changed\n"
               "  -h, --help   print this help and exit\n"
               "  --version    print the version and exit\n\n"
               "Ports: COMn entries in $WENDALE_PORTS_DIR, or else in ~/.config/wendale/ports\n"
               "(links to devices, or rfc2217://HOST:PORT and tcp://HOST:PORT), then the\n"
               "machine's serial devices, numbered automatically.\n");
}
