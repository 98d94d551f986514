#include "port/ComNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <array>
#include <set>
#include <sys/stat.h>
#include <vector>

namespace comnames {

namespace {

struct DeviceRoots {
    QString devDir = QStringLiteral("/dev");
    QString sysDir = QStringLiteral("/sys");
};

DeviceRoots& roots()
{
    static DeviceRoots value;
    return value;
}

bool isCharDevice(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISCHR(st.st_mode);
}

// A ttyS node exists for every UART slot the kernel reserves; sysfs type 0
// (PORT_UNKNOWN) marks the slots with no UART behind them.
bool isRealUart(int number)
{
    QFile type(roots().sysDir + QStringLiteral("/class/tty/ttyS%1/type").arg(number));
    if (!type.open(QIODevice::ReadOnly))
        return false;
    bool ok = false;
    const int value = type.readAll().trimmed().toInt(&ok);
    return ok && value != 0;
}

// Device paths of one family (ttyUSB0, ttyUSB1, ...) in numeric order.
std::vector<QString> devicesOfFamily(const QString& family)
{
    const QRegularExpression pattern(QStringLiteral("^%1(0|[1-9][0-9]*)$").arg(family));
    std::vector<std::pair<int, QString>> found;
    const QDir dev(roots().devDir);
    for (const QString& name : dev.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        const auto match = pattern.match(name);
        if (!match.hasMatch())
            continue;
        const int number = match.captured(1).toInt();
        const QString path = dev.filePath(name);
        if (!isCharDevice(path) || (family == QLatin1String("ttyS") && !isRealUart(number)))
            continue;
        found.emplace_back(number, path);
    }
    std::sort(found.begin(), found.end());
    std::vector<QString> paths;
    for (auto& [number, path] : found)
        paths.push_back(path);
    return paths;
}

std::set<int> numbersInPortsDirectory()
{
    static const QRegularExpression pattern(QStringLiteral("^COM([1-9][0-9]{0,5})$"));
    std::set<int> numbers;
    const QDir dir(PortsDirectory());
    for (const QString& name : dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (const auto match = pattern.match(name); match.hasMatch())
            numbers.insert(match.captured(1).toInt());
    }
    return numbers;
}

QString automaticDevicePath(int n, const std::set<int>& taken)
{
    static const std::array families{QStringLiteral("ttyS"), QStringLiteral("ttyUSB"),
                                     QStringLiteral("ttyACM"), QStringLiteral("ttyAMA"),
                                     QStringLiteral("rfcomm")};
    int number = 0;
    for (const QString& family : families) {
        for (const QString& path : devicesOfFamily(family)) {
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

QString PortsDirectory()
{
    const QString fromEnvironment = qEnvironmentVariable("WENDALE_PORTS_DIR");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/wendale/ports");
}

int ComNumber(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^(?:\\\\\.\\)?COM([1-9][0-9]{0,5})$)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(name);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QString ComDevicePath(int n)
{
    if (n <= 0)
        return {};
    const QString entry = QDir(PortsDirectory()).filePath(QStringLiteral("COM%1").arg(n));
    const QFileInfo entryInfo(entry);
    if (entryInfo.exists() || entryInfo.isSymLink()) {
        // The entry's own name says nothing; show where it leads.
        return isCharDevice(entry) ? entryInfo.canonicalFilePath() : QString();
    }
    return automaticDevicePath(n, numbersInPortsDirectory());
}

void SetDeviceRootsForTest(const QString& devDir, const QString& sysDir)
{
    roots() = DeviceRoots{};
    if (!devDir.isEmpty())
        roots().devDir = devDir;
    if (!sysDir.isEmpty())
        roots().sysDir = sysDir;
}

}
