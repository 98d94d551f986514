#include "app/CommandLine.h"

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
        if (argument == u"--help" || argument == u"-h") {
            line.outcome = CommandLine::Outcome::Help;
            return line;
        }
        if (argument == u"--log") {
            if (at + 1 >= arguments.size() || arguments[at + 1].isEmpty())
                return usage(QStringLiteral("--log needs a file name"));
            line.logFile = arguments[++at];
        } else if (argument.startsWith(u"--log=")) {
            line.logFile = argument.mid(6);
            if (line.logFile.isEmpty())
                return usage(QStringLiteral("--log needs a file name"));
        } else {
            return usage(QStringLiteral("unknown option %1").arg(argument));
        }
    }
    return line;
}

QString CommandLineUsage()
{
    return QStringLiteral("usage: wendale [--log FILE] [--help]");
}

QString CommandLineHelp()
{
    return CommandLineUsage() + QStringLiteral(
               "\n\n"
               "Watches and drives serial ports.\n\n"
               "  --log FILE   append every byte received on the primary port to FILE, exactly as\n"
               "               received; in Transparent operation the second port's bytes go to FILE\n"
               "               with the port's name before the extension (capture.COM7.bin)\n"
               "  -h, --help   print this help and exit\n\n"
               "Ports: COMn entries in $WENDALE_PORTS_DIR, or else in ~/.config/wendale/ports\n"
               "(links to devices, or rfc2217://HOST:PORT and tcp://HOST:PORT), then the\n"
               "machine's serial devices, numbered automatically.\n");
}
