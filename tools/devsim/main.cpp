#include "devsim/PortMap.h"
#include "devsim/PortsDirectory.h"
#include "devsim/TerminationSignals.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QProcess>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

using namespace devsim;

namespace {

constexpr int ChildGraceMs = 3000;

QTextStream& Out()
{
    static QTextStream stream(stdout);
    return stream;
}

void Complain(const QString& message)
{
    QTextStream(stderr) << "wendale-devsim: " << message << Qt::endl;
}

// Only for mistakes on the command line, before anything is made.
[[noreturn]] void Fail(const QString& message)
{
    Complain(message);
    std::exit(2);
}

int NonNegative(const QCommandLineParser& parser, const QString& option)
{
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (!ok || value < 0)
        Fail(QStringLiteral("--%1 needs a whole number of 0 or more, not \"%2\"").arg(option, parser.value(option)));
    return value;
}

SimulationOptions ParseOptions(QCommandLineParser& parser, QStringList arguments)
{
    parser.setApplicationDescription(
        QStringLiteral("Plays serial devices on pseudo-terminals and links them as COM1..COM7 in a ports directory:\n"
                       "COM1 talker, COM2 IRMan, COM3 Creative infrared, COM4 X10 CM11, COM5 GSM terminal,\n"
                       "COM6 and COM7 the two ends of a relay pair.\n\n"
                       "--run PROGRAM [ARGS...] (last on the line) starts PROGRAM with WENDALE_PORTS_DIR set to the\n"
                       "ports directory and ends with it, returning its exit code."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("ports-dir"),
         QStringLiteral("Put the COMn links in DIR (made if missing) instead of a new temporary directory."),
         QStringLiteral("DIR")},
        {QStringLiteral("talker-rate"),
         QStringLiteral("Make COM1 stream a numbered sequence at N bytes/s instead of text lines."),
         QStringLiteral("N"), QStringLiteral("0")},
        {QStringLiteral("relay-rate"),
         QStringLiteral("Make COM6 and COM7 stream numbered sequences to each other at N bytes/s."),
         QStringLiteral("N"), QStringLiteral("0")},
        {QStringLiteral("cm11-poll-ms"), QStringLiteral("Pause between the CM11's 0xA5 polls."), QStringLiteral("MS"),
         QStringLiteral("1000")},
        {QStringLiteral("cm11-delay-ms"), QStringLiteral("Power-line time before the CM11's 0x55."),
         QStringLiteral("MS"), QStringLiteral("200")},
    });
    // An unknown option is a usage error like the others, not process()'s exit code 1.
    if (!parser.parse(arguments))
        Fail(parser.errorText());
    parser.process(arguments);
    SimulationOptions options;
    options.talkerRate = NonNegative(parser, QStringLiteral("talker-rate"));
    options.relayRate = NonNegative(parser, QStringLiteral("relay-rate"));
    options.cm11Poll = std::chrono::milliseconds(std::max(1, NonNegative(parser, QStringLiteral("cm11-poll-ms"))));
    options.cm11LineDelay = std::chrono::milliseconds(NonNegative(parser, QStringLiteral("cm11-delay-ms")));
    return options;
}

}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("wendale-devsim"));

    QStringList arguments = QCoreApplication::arguments();
    QStringList command;
    if (const qsizetype runAt = arguments.indexOf(QStringLiteral("--run")); runAt >= 0) {
        command = arguments.mid(runAt + 1);
        arguments = arguments.mid(0, runAt);
        if (command.isEmpty())
            Fail(QStringLiteral("--run needs a program to start"));
    }
    QCommandLineParser parser;
    const SimulationOptions options = ParseOptions(parser, arguments);

    QString error;
    PortMap ports;
    PortsDirectory directory;
    if (!ports.Open(options, &error) || !directory.Open(parser.value(QStringLiteral("ports-dir")), &error)) {
        Complain(error);
        return 2;
    }
    for (const PortMap::Port& port : ports.Ports()) {
        // The directory takes back the links made so far as main returns.
        if (!directory.Link(port.comName, port.pty->SlavePath(), &error)) {
            Complain(error);
            return 2;
        }
        Out() << qSetFieldWidth(6) << Qt::left << port.comName << qSetFieldWidth(13) << port.kind << qSetFieldWidth(0)
              << port.pty->SlavePath() << '\n';
    }
    Out() << "Ports directory: " << directory.Path() << '\n'
          << "Start the program with WENDALE_PORTS_DIR=" << directory.Path() << Qt::endl;

    ports.Start();
    TerminationSignals stopSignals;
    QProcess child;
    if (command.isEmpty()) {
        QObject::connect(&stopSignals, &TerminationSignals::Received, &app, [] { QCoreApplication::exit(0); });
    } else {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("WENDALE_PORTS_DIR"), directory.Path());
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.setInputChannelMode(QProcess::ForwardedInputChannel);
        QObject::connect(&child, &QProcess::finished, &app, [](int code, QProcess::ExitStatus status) {
            QCoreApplication::exit(status == QProcess::NormalExit ? code : 128 + code);
        });
        QObject::connect(&child, &QProcess::errorOccurred, &app, [&child, &command](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart) {
                Complain(QStringLiteral("cannot start %1: %2").arg(command.first(), child.errorString()));
                QCoreApplication::exit(127);
            }
        });
        QObject::connect(&stopSignals, &TerminationSignals::Received, &child, [&child] {
            child.terminate();
            QTimer::singleShot(ChildGraceMs, &child, &QProcess::kill);
        });
        child.start(command.first(), command.mid(1));
    }
    const int code = QCoreApplication::exec();
    if (child.state() != QProcess::NotRunning) {
        child.kill();
        child.waitForFinished(ChildGraceMs);
    }
    directory.CleanUp();
    return code;
}
