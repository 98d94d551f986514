#include "port/ComNames.h"
#include "port/ModZemoPorts.h"
#include "port/OpenFailure.h"
#include "support/PtyPair.h"
#include "support/TestPortsDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using comnames::ComDevicePath;

// A made-up /dev, its name not UTF-8, and /sys: every device node is a
// symlink to a real terminal, so no mknod is needed.
class tst_ComNames : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tree;
    std::unique_ptr<TestPortsDir> ports;
    std::unique_ptr<PtyPair> terminal;
    QByteArray root;
    QByteArray slave;

    QByteArray Device(const QString& name) const
    {
        return name.isEmpty() ? QByteArray() : root + "/dev\xff/" + name.toLatin1();
    }

    void AddDevice(const QString& name, const QByteArray& target = {})
    {
        QVERIFY(::symlink((target.isEmpty() ? slave : target).constData(), Device(name).constData()) == 0);
    }

    // UARTs ttyS0 and ttyS2, the phantom ttyS1 (type 0), USB and ACM devices, and entries no devices.
    void AddTypicalDevices()
    {
        for (const int n : {0, 1, 2}) {
            AddDevice(QStringLiteral("ttyS%1").arg(n));
            const QString dir = tree->filePath(QStringLiteral("sys/class/tty/ttyS%1").arg(n));
            QVERIFY(QDir().mkpath(dir));
            QVERIFY(std::ofstream(QFile::encodeName(dir + QStringLiteral("/type")).toStdString()) << (n == 1 ? 0 : 4));
        }
        for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyUSBx", "tty0"})
            AddDevice(QLatin1String(name));
        AddDevice(QStringLiteral("ttyACM1"), root + "/gone");
        QVERIFY(::close(::creat(Device(QStringLiteral("ttyUSB3")).constData(), 0600)) == 0);
    }

private slots:
    void init()
    {
        tree = std::make_unique<QTemporaryDir>();
        ports = std::make_unique<TestPortsDir>();
        terminal = std::make_unique<PtyPair>();
        root = QFile::encodeName(tree->path());
        slave = QFile::encodeName(terminal->SlavePath());
        QVERIFY(::mkdir((root + "/dev\xff").constData(), 0700) == 0);
        QVERIFY(QDir(tree->path()).mkpath(QStringLiteral("sys/class/tty")));
        comnames::SetDeviceRootsForTest(root + "/dev\xff", root + "/sys");
    }

    void cleanup()
    {
        comnames::SetDeviceRootsForTest({}, {});
        terminal.reset();
        ports.reset();
        // QDir cannot remove names that are not UTF-8.
        std::filesystem::remove_all(root.toStdString());
        tree.reset();
    }

    // Only serial terminals are listed; anything else is refused before it is opened.
    void onlySerialTerminalsAreListed_data()
    {
        QTest::addColumn<QString>("target"); // empty: the pseudo-terminal
        QTest::addColumn<bool>("ttyClass");  // the made-up sysfs puts the target in the tty class
        QTest::addColumn<bool>("listed");
        QTest::addColumn<bool>("opens");
        QTest::newRow("pseudo-terminal") << "" << false << true << true;
        QTest::newRow("a device of the tty class") << "/dev/null" << true << true << false;
        QTest::newRow("/dev/null") << "/dev/null" << false << false << false;
        QTest::newRow("/dev/ptmx") << "/dev/ptmx" << true << false << false;
        QTest::newRow("/dev/console") << "/dev/console" << true << false << false;
    }

    void onlySerialTerminalsAreListed()
    {
        QFETCH(QString, target);
        QFETCH(bool, ttyClass);
        QFETCH(bool, opens);
        target = QFileInfo(target.isEmpty() ? terminal->SlavePath() : target).canonicalFilePath();
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(target).constData(), &st) == 0);
        if (ttyClass) {
            const QString node
                = QStringLiteral("sys/dev/char/%1:%2").arg(major(st.st_rdev)).arg(minor(st.st_rdev));
            QVERIFY(QDir(tree->path()).mkpath(node));
            QVERIFY(QFile::link(tree->filePath(QStringLiteral("sys/class/tty")),
                                tree->filePath(node + QStringLiteral("/subsystem"))));
        }
        QVERIFY(ports->Link(3, target));
        QTEST(modZEMO::PortExists(3), "listed");
        QCOMPARE(ComDevicePath(3), QFile::encodeName(target));

        const auto handle = modZEMO::OpenPort(QStringLiteral("COM3"));
        QCOMPARE(handle != win32::INVALID_HANDLE_VALUE, opens);
        QCOMPARE(openfailure::Last(), opens ? QString() : target + QStringLiteral(": not a serial port"));
        win32::CloseHandle(handle);
    }

    // Numbered ttyS0, ttyS2, ttyUSB2, ttyUSB10, ttyACM0, after the ports directory's numbers.
    void numbering_data()
    {
        QTest::addColumn<bool>("withEntries"); // COM2 -> /dev/zero, COM3 -> nothing
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("device"); // under the made-up /dev unless absolute; empty: none
        QTest::newRow("COM2 skips the phantom ttyS1") << false << 2 << "ttyS2";
        QTest::newRow("COM4") << false << 4 << "ttyUSB10";
        QTest::newRow("COM5") << false << 5 << "ttyACM0";
        QTest::newRow("COM6: the dangling ttyACM1 is none") << false << 6 << "";
        QTest::newRow("entries: COM1 automatic") << true << 1 << "ttyS0";
        QTest::newRow("entries: COM2 from the directory") << true << 2 << "/dev/zero";
        QTest::newRow("entries: COM3 dangling") << true << 3 << "";
        QTest::newRow("entries: COM4 after the taken numbers") << true << 4 << "ttyS2";
    }
    void numbering()
    {
        QFETCH(bool, withEntries);
        QFETCH(int, n);
        QFETCH(QString, device);
        AddTypicalDevices();
        if (withEntries) {
            QVERIFY(ports->Link(2, QStringLiteral("/dev/zero")));
            QVERIFY(ports->Link(3, tree->filePath(QStringLiteral("nothing-here"))));
        }
        QCOMPARE(ComDevicePath(n), device.startsWith('/') ? QFile::encodeName(device) : Device(device));
        const bool exists = !device.isEmpty() && !device.startsWith('/');
        const QString name = QStringLiteral("COM%1").arg(n);
        QCOMPARE(modZEMO::PortExists(int16_t(n)), exists);
        win32::DWORD size = 10; // a probe without room is told the size
        QCOMPARE(win32::GetDefaultCommConfigA(qPrintable(name), nullptr, &size), 0);
        QCOMPARE(size, exists ? 52u : 10u);
        const auto handle = modZEMO::OpenPort(name);
        QCOMPARE(handle != win32::INVALID_HANDLE_VALUE, exists);
        win32::CloseHandle(handle);
    }

    // An unusable ports directory is reported; the default, $XDG_CONFIG_HOME/wendale/ports, may be absent.
    void portsDirectory_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<QByteArray>("reason"); // empty: the directory works
        QTest::addColumn<bool>("fromEntry");    // COM1 is its entry, not ttyS0
        QTest::newRow("missing") << QByteArray("missing") << QByteArray("No such file or directory") << false;
        QTest::newRow("a file") << QByteArray("file") << QByteArray("Not a directory") << false;
        QTest::newRow("name not UTF-8") << QByteArray("ports\xff") << QByteArray() << true;
        QTest::newRow("the default") << QByteArray("config/wendale/ports") << QByteArray() << true;
        QTest::newRow("the default, missing") << QByteArray("config") << QByteArray() << false;
    }
    void portsDirectory()
    {
        QFETCH(QByteArray, kind);
        QFETCH(QByteArray, reason);
        QFETCH(bool, fromEntry);
        AddTypicalDevices();
        const QByteArray dir = root + '/' + kind;
        if (kind == "file")
            QVERIFY(QFile(tree->filePath(kind)).open(QIODevice::WriteOnly));
        if (fromEntry) {
            QVERIFY(std::filesystem::create_directories(dir.toStdString()));
            QVERIFY(::symlink(slave.constData(), (dir + "/COM1").constData()) == 0);
        }
        const QByteArray previousConfig = qgetenv("XDG_CONFIG_HOME");
        if (kind.startsWith("config")) {
            qunsetenv("WENDALE_PORTS_DIR");
            qputenv("XDG_CONFIG_HOME", root + "/config");
        } else {
            qputenv("WENDALE_PORTS_DIR", dir);
        }
        const QByteArray seen = comnames::PortsDirectoryProblem() + '\n' + ComDevicePath(1);
        qputenv("XDG_CONFIG_HOME", previousConfig);
        const QByteArray problem = reason.isEmpty() ? QByteArray()
            : "cannot read the ports directory " + dir + ": " + reason
                + "; the port lists hold the automatically numbered devices only";
        QCOMPARE(seen, problem + '\n' + (fromEntry ? slave : Device("ttyS0")));
    }

    void comNumbers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("n");
        QTest::newRow("device namespace") << "\\\\.\\COM12" << 12;
        QTest::newRow("lower case") << "com4" << 4;
        QTest::newRow("no number") << "COM" << 0;
        QTest::newRow("leading zero") << "COM03" << 0;
        QTest::newRow("trailing blank") << "COM3 " << 0;
        QTest::newRow("device path") << "/dev/ttyS0" << 0;
        QTest::newRow("huge") << "COM99999999999" << 0;
    }
    void comNumbers()
    {
        QFETCH(QString, name);
        QTEST(comnames::ComNumber(name), "n");
    }
};

QTEST_GUILESS_MAIN(tst_ComNames)
#include "tst_ComNames.moc"
