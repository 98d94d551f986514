#include "port/ComNames.h"

#include "port/RemoteAddress.h"
#include "port/SerialDevice.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <vector>

namespace comnames {

namespace {

namespace fs = std::filesystem;

constexpr char PortsVariable[] = "WENDALE_PORTS_DIR";
// /dev/tty, /dev/console, /dev/ptmx and ttyprintk: terminals, but no line of their own.
constexpr unsigned TtyAuxMajor = 5;

struct DeviceRoots {
    fs::path devDir = "/dev";
    fs::path sysDir = "/sys";
};

DeviceRoots& Roots()
{
    static DeviceRoots value;
    return value;
}

fs::path FromBytes(const QByteArray& bytes)
{
    return fs::path(bytes.toStdString());
}

QByteArray ToBytes(const fs::path& path)
{
    return QByteArray::fromStdString(path.native());
}

// The names in dir; error says why it cannot be read.
std::vector<std::string> NamesIn(const fs::path& dir, std::error_code& error)
{
    std::vector<std::string> names;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().native());
    return names;
}

// Matched as Latin-1, which keeps every byte: a name that is not UTF-8 cannot
// pass for an ASCII one.
QRegularExpressionMatch MatchName(const QRegularExpression& pattern, const std::string& name)
{
    return pattern.match(QString::fromLatin1(name.data(), qsizetype(name.size())));
}

// A ttyS node exists for every UART slot the kernel reserves; sysfs type 0
// (PORT_UNKNOWN) marks the slots with no UART behind them.
bool IsRealUart(int number)
{
    std::ifstream type(Roots().sysDir / "class/tty" / ("ttyS" + std::to_string(number)) / "type");
    int value = 0;
    return (type >> value) && value != 0;
}

// Device paths of one family (ttyUSB0, ttyUSB1, ...) in numeric order.
std::vector<QByteArray> DevicesOfFamily(const QString& family)
{
    const QRegularExpression pattern(QStringLiteral("^%1(0|[1-9][0-9]*)$").arg(family));
    std::vector<std::pair<int, QByteArray>> found;
    std::error_code error;
    for (const std::string& name : NamesIn(Roots().devDir, error)) {
        const auto match = MatchName(pattern, name);
        if (!match.hasMatch())
            continue;
        const int number = match.captured(1).toInt();
        const QByteArray path = ToBytes(Roots().devDir / name);
        if (!IsSerialTerminal(path) || (family == QLatin1String("ttyS") && !IsRealUart(number)))
            continue;
        found.emplace_back(number, path);
    }
    std::sort(found.begin(), found.end());
    std::vector<QByteArray> paths;
    for (auto& [number, path] : found)
        paths.push_back(path);
    return paths;
}

// The COM numbers of the ports directory's entries; none when it cannot be read.
std::set<int> NumbersInPortsDirectory()
{
    static const QRegularExpression pattern(QStringLiteral("^COM([1-9][0-9]{0,5})$"));
    std::error_code error;
    const auto names = NamesIn(FromBytes(PortsDirectory()), error);
    std::set<int> numbers;
    if (error)
        return numbers;
    for (const std::string& name : names) {
        if (const auto match = MatchName(pattern, name); match.hasMatch())
            numbers.insert(match.captured(1).toInt());
    }
    return numbers;
}

QByteArray AutomaticDevicePath(int n, const std::set<int>& taken)
{
    static const std::array families{QStringLiteral("ttyS"), QStringLiteral("ttyUSB"),
                                     QStringLiteral("ttyACM"), QStringLiteral("ttyAMA"),
                                     QStringLiteral("rfcomm")};
    int number = 0;
    for (const QString& family : families) {
        for (const QByteArray& path : DevicesOfFamily(family)) {
            do
                ++number;
            while (taken.count(number));
            if (number == n)
                return path;
            if (number > n)
                return {};
        }
    }
    return {};
}

}

QByteArray PortsDirectory()
{
    if (QByteArray chosen = qgetenv(PortsVariable); !chosen.isEmpty())
        return chosen;
    QByteArray config = qgetenv("XDG_CONFIG_HOME");
    if (!config.startsWith('/'))
        config = QFile::encodeName(QDir::homePath()) + "/.config";
    return config + "/wendale/ports";
}

QByteArray PortsDirectoryProblem()
{
    const QByteArray dir = PortsDirectory();
    std::error_code error;
    NamesIn(FromBytes(dir), error);
    const bool chosen = !qgetenv(PortsVariable).isEmpty();
    if (!error || (!chosen && error == std::errc::no_such_file_or_directory))
        return {};
    return "cannot read the ports directory " + dir + ": " + QByteArray::fromStdString(error.message())
        + "; the port lists hold the automatically numbered devices only";
}

int ComNumber(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^(?:\\\\\.\\)?COM([1-9][0-9]{0,5})$)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(name);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QByteArray ComDevicePath(int n)
{
    if (n <= 0)
        return {};
    const std::set<int> taken = NumbersInPortsDirectory();
    if (!taken.count(n))
        return AutomaticDevicePath(n, taken);
    // The entry's own name says nothing; show where it leads.
    const fs::path entry = FromBytes(PortsDirectory()) / ("COM" + std::to_string(n));
    std::error_code error;
    if (const fs::path link = fs::read_symlink(entry, error); !error && remoteport::LooksLikeUrl(ToBytes(link)))
        return ToBytes(link);
    const fs::path target = fs::canonical(entry, error);
    return error ? QByteArray() : ToBytes(target);
}

bool IsPort(const QByteArray& path)
{
    return remoteport::LooksLikeUrl(path) || IsSerialTerminal(path);
}

bool IsSerialTerminal(const QByteArray& path)
{
    // By name too: in a container /dev/console may be a pseudo-terminal mounted there.
    static const std::array notPorts{QByteArray("/dev/tty"), QByteArray("/dev/console"), QByteArray("/dev/ptmx")};
    struct stat st {};
    if (std::find(notPorts.begin(), notPorts.end(), path) != notPorts.end() || ::stat(path.constData(), &st) != 0
        || !S_ISCHR(st.st_mode))
        return false;
    if (serialdevice::IsPtySlave(st.st_rdev))
        return true;
    if (major(st.st_rdev) == TtyAuxMajor)
        return false;
    // Every other terminal has its device node in sysfs's tty class.
    const std::string number = std::to_string(major(st.st_rdev)) + ':' + std::to_string(minor(st.st_rdev));
    std::error_code error;
    const fs::path subsystem = fs::canonical(Roots().sysDir / "dev/char" / number / "subsystem", error);
    if (error)
        return false;
    const fs::path ttyClass = fs::canonical(Roots().sysDir / "class/tty", error);
    return !error && subsystem == ttyClass;
}

void SetDeviceRootsForTest(const QByteArray& devDir, const QByteArray& sysDir)
{
    Roots() = DeviceRoots{};
    if (!devDir.isEmpty())
        Roots().devDir = FromBytes(devDir);
    if (!sysDir.isEmpty())
        Roots().sysDir = FromBytes(sysDir);
}

}
