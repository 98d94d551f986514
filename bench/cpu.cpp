// CPU under a real X server. The window and GTKTerm run side by side on an
// Xvfb display (1280x1024x24, started here on a free display number), each in
// a hex view of 16 bytes a line on a pseudo-terminal of its own at 115200 8N1,
// each fed the same random bytes by a feeder process, a piece every 10 ms:
// first 11 520, then 115 200, then 300 000 bytes a second (3 Mbit/s). Prints for each rate the CPU of
// each process (all its threads; the X server's is not counted) and the ratio.
// Then the window's idle wake-ups, no port open, under xcb and offscreen, each
// in a fresh process (this program again, with --idle SECONDS).
// Arguments: [seconds at 11 520 B/s=40] [seconds at 115 200 B/s=20] [idle seconds=10]
// [seconds at 300 000 B/s=20].
// Needs the packages xvfb, gtkterm and xdotool.
#include "BenchSupport.h"

#include "app/frmMain.h"
#include "app/monitor/ReceiveView.h"
#include "support/window/MessageRecorder.h"
#include "support/SimulatedPorts.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Phase {
    long long rate;
    int seconds;
    double target; // the window's CPU at most this times GTKTerm's
};

double OwnCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ProcessCpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    // After the name in parentheses: utime and stime are the 12th and 13th fields.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
}

bool HoldsOpen(qint64 pid, const QString& path)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    const QStringList entries = fds.entryList(QDir::System);
    return std::any_of(entries.begin(), entries.end(),
                       [&](const QString& fd) { return QFile::symLinkTarget(fds.filePath(fd)) == path; });
}

// Every sleep and wake of the main thread is a context switch.
long long MainThreadSwitches()
{
    QFile status(QStringLiteral("/proc/self/task/%1/status").arg(gettid()));
    long long switches = 0;
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.contains("ctxt_switches:"))
                switches += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
    return switches;
}

// Ends a child process when the run ends, however it ends.
struct Child {
    pid_t pid;
    ~Child()
    {
        if (pid > 0 && kill(pid, SIGTERM) == 0)
            waitpid(pid, nullptr, 0);
    }
};

// Xvfb on a free display number, which becomes DISPLAY; -1 when it cannot start.
pid_t StartXvfb()
{
    int number[2];
    if (pipe(number) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(number[0]);
        std::freopen("/dev/null", "w", stderr);
        const std::string fd = std::to_string(number[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", nullptr);
        _exit(127);
    }
    close(number[1]);
    char text[16] = {};
    const ssize_t got = read(number[0], text, sizeof text - 1);
    close(number[0]);
    if (got <= 0) {
        waitpid(pid, nullptr, 0);
        return -1;
    }
    // The number comes before the server takes connections: wait until it does.
    const std::string socketPath = "/tmp/.X11-unix/X" + std::to_string(std::atoi(text));
    for (int attempt = 0; attempt < 100; ++attempt) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
        const int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool taken = probe >= 0 && ::connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        if (probe >= 0)
            close(probe);
        if (taken) {
            setenv("DISPLAY", (":" + std::to_string(std::atoi(text))).c_str(), 1);
            return pid;
        }
        usleep(50'000);
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return -1;
}

// A process of its own writes random bytes to fd from start on, a piece every
// 10 ms, at the rates of the phases; every feeder writes the same bytes. It
// ends with status 0 when the reader had taken every byte due by the end.
pid_t StartFeeder(int fd, const std::vector<Phase>& phases, timespec start)
{
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    std::minstd_rand bytes(115200);
    static char piece[1 << 16];
    long long due = 0;
    long long sent = 0;
    timespec at = start;
    for (const Phase& phase : phases) {
        const long long before = due;
        for (long long tick = 1; tick <= phase.seconds * 100LL; ++tick) {
            at.tv_nsec += 10'000'000;
            at.tv_sec += at.tv_nsec / 1'000'000'000;
            at.tv_nsec %= 1'000'000'000;
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
            due = before + phase.rate * tick / 100;
            while (sent < due) {
                const auto size = std::min<long long>(due - sent, sizeof piece);
                std::generate_n(piece, size, [&] { return char(bytes()); });
                const ssize_t written = write(fd, piece, size_t(size));
                if (written <= 0)
                    break; // the reader is behind: the rest is due at the next piece
                sent += written;
            }
        }
    }
    _exit(sent == due ? 0 : 1);
}

int RunIdle(int seconds)
{
    frmMain window;
    window.show();
    // The first second is the window's start-up.
    long long before = 0;
    QTimer::singleShot(1000, [&] { before = MainThreadSwitches(); });
    QTimer::singleShot(1000 + seconds * 1000, [&] {
        std::printf("idle, no port open, %-9s: %.2f wake-ups a second (main thread context switches over %d s)\n",
                    qPrintable(QGuiApplication::platformName()), double(MainThreadSwitches() - before) / seconds,
                    seconds);
        QApplication::quit();
    });
    return QApplication::exec();
}

}

int main(int argc, char** argv)
{
    if (argc > 2 && std::strcmp(argv[1], "--idle") == 0) {
        QApplication app(argc, argv);
        return RunIdle(std::max(1, std::atoi(argv[2])));
    }
    const std::vector<Phase> phases{{11520, argc > 1 ? std::atoi(argv[1]) : 40, 0.3},
                                    {115200, argc > 2 ? std::atoi(argv[2]) : 20, 0.2},
                                    {300000, argc > 4 ? std::atoi(argv[4]) : 20, 0.15}};
    const int idleSeconds = argc > 3 ? std::atoi(argv[3]) : 10;
    const Child xvfb{StartXvfb()};
    if (xvfb.pid < 0) {
        std::printf("could not start Xvfb (apt-get install xvfb)\n");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);

    SimulatedPorts ports;
    const int windowFeed = ports.Add(1).MasterFd();
    MessageRecorder messages;
    frmMain window;
    bench::Choose(window, "SpeedListBox", QStringLiteral("115200"));
    bench::Choose(window, "OutCombo", QStringLiteral("Hex"));
    bench::Choose(window, "RXBitsNrListBox", QStringLiteral("16"));
    if (!bench::Connect(window, QStringLiteral("Generic"))) {
        std::printf("could not connect: %s\n", qPrintable(messages.Texts().join("; ")));
        return 1;
    }

    // GTKTerm in a home of its own, its port and line settings in its
    // configuration file (without one it stops at a message about creating
    // it); the shims keep its pseudo-terminal open.
    PtyPair peerPort;
    QTemporaryDir home;
    QDir(home.path()).mkdir(QStringLiteral(".config"));
    QFile settings(home.filePath(QStringLiteral(".config/.gtktermrc")));
    settings.open(QIODevice::WriteOnly);
    settings.write("[default]\nport = " + peerPort.SlavePath().toUtf8()
                   + "\nspeed = 115200\nbits = 8\nstopbits = 1\nparity = none\nflow = none\nfont = \"Monospace 12\"\n");
    settings.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
    environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(WENDALE_PEER_PRELOAD));
    environment.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
    QProcess peer;
    peer.setProcessEnvironment(environment);
    peer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    peer.start(QStringLiteral("gtkterm"), {});
    if (!peer.waitForStarted()) {
        std::printf("could not start gtkterm (apt-get install gtkterm)\n");
        return 1;
    }
    // Its hex view is chosen in its View menu; 16 bytes a line is its default.
    // It goes to the right of the window.
    QProcess menu;
    menu.start(QStringLiteral("xdotool"), {"search", "--sync", "--onlyvisible", "--pid", QString::number(peer.processId()),
                                           "--class", "gtkterm", "windowmove", "%1", "480", "0", "windowfocus", "--sync",
                                           "%1", "key", "--delay", "300", "alt+v", "h"});
    if (!menu.waitForFinished(20000) || menu.exitCode() != 0) {
        std::printf("could not choose gtkterm's hex view (apt-get install xdotool)\n");
        return 1;
    }

    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    start.tv_sec += 1; // both settle for a second
    const pid_t feeders[] = {StartFeeder(windowFeed, phases, start), StartFeeder(peerPort.MasterFd(), phases, start)};
    struct Sample {
        double wall, own, peer;
    };
    std::vector<Sample> samples;
    QElapsedTimer clock;
    clock.start();
    const auto sample = [&] {
        samples.push_back({clock.nsecsElapsed() / 1e9, OwnCpuSeconds(), ProcessCpuSeconds(peer.processId())});
        // The last piece may still be on its way: a few more ticks take it in
        // before quitting closes the window and its port.
        if (samples.size() > phases.size())
            QTimer::singleShot(200, qApp, &QApplication::quit);
    };
    int at = 1000;
    QTimer::singleShot(at, Qt::PreciseTimer, sample);
    for (const Phase& phase : phases)
        QTimer::singleShot(at += phase.seconds * 1000, Qt::PreciseTimer, sample);
    QApplication::exec();

    long long fed = 0;
    for (size_t i = 0; i < phases.size(); ++i) {
        fed += phases[i].rate * phases[i].seconds;
        if (phases[i].seconds <= 0)
            continue;
        const Sample& from = samples[i];
        const Sample& to = samples[i + 1];
        const double own = 100 * (to.own - from.own) / (to.wall - from.wall);
        const double other = 100 * (to.peer - from.peer) / (to.wall - from.wall);
        std::printf("%6lld B/s for %.0f s: Wendale %5.1f%%, GTKTerm %5.1f%% of one core; ratio %.2f "
                    "(target at most %.2f: %s)\n",
                    phases[i].rate, to.wall - from.wall, own, other, own / other, phases[i].target,
                    own <= phases[i].target * other ? "met" : "MISSED");
    }
    const qsizetype shown = bench::Control<ReceiveView>(window, "RXOut")->TextLength();
    std::printf("fed %lld bytes to each; the window received %lld\n", fed,
                (long long)bench::ReceivedCountInHex(shown, 16));
    for (const pid_t feeder : feeders) {
        int status = 0;
        waitpid(feeder, &status, 0);
        if (status != 0)
            std::printf("  %s fell behind the feed\n", feeder == feeders[0] ? "Wendale" : "GTKTerm");
    }
    if (!HoldsOpen(peer.processId(), peerPort.SlavePath()))
        std::printf("  GTKTerm closed its port: its figures do not count\n");
    peer.terminate();
    peer.waitForFinished();
    window.hide();

    std::fflush(stdout);
    for (const char* platform : {"xcb", "offscreen"}) {
        qputenv("QT_QPA_PLATFORM", platform);
        QProcess::execute(QCoreApplication::applicationFilePath(), {"--idle", QString::number(idleSeconds)});
    }
    return 0;
}
