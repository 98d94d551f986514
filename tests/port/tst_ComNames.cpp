#include "port/ComNames.h"
#include "port/ModZemoPorts.h"
#include "support/TestPortsDir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using comnames::ComDevicePath;

// A made-up /dev and /sys: every device node is a symlink to a real
// character device, so no mknod is needed.
class tst_ComNames : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> tree;
    std::unique_ptr<TestPortsDir> ports;

    QString devPath(const QString& name) const { return tree->filePath(QStringLiteral("dev/") + name); }

    void addDevice(const QString& name, const QString& target = QStringLiteral("/dev/null"))
    {
        QVERIFY(QFile::link(target, devPath(name)));
    }

    void addUart(int n, int type)
    {
        addDevice(QStringLiteral("ttyS%1").arg(n));
        const QString dir = tree->filePath(QStringLiteral("sys/class/tty/ttyS%1").arg(n));
        QVERIFY(QDir().mkpath(dir));
        QFile typeFile(dir + QStringLiteral("/type"));
        QVERIFY(typeFile.open(QIODevice::WriteOnly));
        typeFile.write(QByteArray::number(type) + '\n');
    }

    // ttyS0 and ttyS2 are UARTs, ttyS1 a phantom slot; then USB, ACM
    // devices in an order that only a numeric sort gets right, and entries
    // that are no devices.
    void addTypicalDevices()
    {
        addUart(0, 4);
        addUart(1, 0);
        addUart(2, 4);
        addDevice(QStringLiteral("ttyUSB10"));
        addDevice(QStringLiteral("ttyUSB2"));
        addDevice(QStringLiteral("ttyACM0"));
        addDevice(QStringLiteral("ttyACM1"), tree->filePath(QStringLiteral("gone")));
        QFile plain(devPath(QStringLiteral("ttyUSB3")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        addDevice(QStringLiteral("ttyUSBx"));
        addDevice(QStringLiteral("tty0"));
    }

    QStringList existingPorts() const
    {
        QStringList found;
        for (int16_t n = 1; n <= 31; ++n) {
            if (modZEMO::PortExists(n))
                found << QStringLiteral("COM%1").arg(n);
        }
        return found;
    }

private slots:
    void init()
    {
        tree = std::make_unique<QTemporaryDir>();
        ports = std::make_unique<TestPortsDir>();
        QVERIFY(QDir(tree->path()).mkpath(QStringLiteral("dev")));
        QVERIFY(QDir(tree->path()).mkpath(QStringLiteral("sys/class/tty")));
        comnames::SetDeviceRootsForTest(tree->filePath(QStringLiteral("dev")),
                                        tree->filePath(QStringLiteral("sys")));
    }

    void cleanup()
    {
        comnames::SetDeviceRootsForTest({}, {});
        ports.reset();
        tree.reset();
    }

    void portsDirectoryAlone()
    {
        QVERIFY(ports->link(3, QStringLiteral("/dev/null")));
        QVERIFY(ports->link(10, QStringLiteral("/dev/zero")));
        QCOMPARE(existingPorts(), QStringList({"COM3", "COM10"}));
        QCOMPARE(ComDevicePath(3), QStringLiteral("/dev/null"));
        QCOMPARE(ComDevicePath(10), QStringLiteral("/dev/zero"));
        QCOMPARE(ComDevicePath(31), QString());
    }

    void automaticNumbering_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("device");
        QTest::newRow("COM1") << 1 << "ttyS0";
        QTest::newRow("COM2 skips the phantom ttyS1") << 2 << "ttyS2";
        QTest::newRow("COM3") << 3 << "ttyUSB2";
        QTest::newRow("COM4") << 4 << "ttyUSB10";
        QTest::newRow("COM5") << 5 << "ttyACM0";
        QTest::newRow("COM6: the dangling ttyACM1 is none") << 6 << "";
    }

    void automaticNumbering()
    {
        QFETCH(int, n);
        QFETCH(QString, device);
        addTypicalDevices();
        QCOMPARE(ComDevicePath(n), device.isEmpty() ? QString() : devPath(device));
    }

    void portsDirectoryTakesPrecedence_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("path"); // under the fake /dev unless absolute
        QTest::newRow("COM1 automatic") << 1 << "ttyS0";
        QTest::newRow("COM2 from the directory") << 2 << "/dev/zero";
        QTest::newRow("COM3 dangling entry") << 3 << "";
        QTest::newRow("COM4 automatic, after the taken numbers") << 4 << "ttyS2";
        QTest::newRow("COM5") << 5 << "ttyUSB2";
    }

    void portsDirectoryTakesPrecedence()
    {
        QFETCH(int, n);
        QFETCH(QString, path);
        addTypicalDevices();
        QVERIFY(ports->link(2, QStringLiteral("/dev/zero")));
        QVERIFY(ports->link(3, tree->filePath(QStringLiteral("nothing-here"))));
        const QString expected = path.isEmpty() ? QString() : path.startsWith('/') ? path : devPath(path);
        QCOMPARE(ComDevicePath(n), expected);
    }

    void existenceFollowsTheMap()
    {
        addTypicalDevices();
        QVERIFY(ports->link(9, tree->filePath(QStringLiteral("nothing-here"))));
        QCOMPARE(existingPorts(), QStringList({"COM1", "COM2", "COM3", "COM4", "COM5"}));
    }

    void missingPortsDirectoryLeavesAutomaticNumbering()
    {
        addTypicalDevices();
        qputenv("WENDALE_PORTS_DIR", QFile::encodeName(tree->filePath(QStringLiteral("absent"))));
        QCOMPARE(ComDevicePath(1), devPath(QStringLiteral("ttyS0")));
    }

    void portsDirectoryLocation()
    {
        QCOMPARE(comnames::PortsDirectory(), ports->path());
        qunsetenv("WENDALE_PORTS_DIR");
        const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(tree->path()));
        const QString found = comnames::PortsDirectory();
        qputenv("XDG_CONFIG_HOME", previous);
        QCOMPARE(found, tree->path() + QStringLiteral("/wendale/ports"));
    }

    void probeFillsTheRecordAndNeedsRoom()
    {
        QVERIFY(ports->link(6, QStringLiteral("/dev/null")));
        win32::COMMCONFIG config{};
        win32::DWORD size = 10;
        QCOMPARE(win32::GetDefaultCommConfigA("COM6", &config, &size), 0);
        QCOMPARE(size, 52u);
        QVERIFY(win32::GetDefaultCommConfigA("COM6", &config, &size));
        QCOMPARE(config.dwSize, 52u);
        QCOMPARE(config.dcb.DCBlength, 28u);
        QCOMPARE(win32::GetDefaultCommConfigA("COM7", &config, &size), 0);
    }

    void comNumbers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("n");
        QTest::newRow("COM3") << "COM3" << 3;
        QTest::newRow("device namespace") << "\\\\.\\COM12" << 12;
        QTest::newRow("lower case") << "com4" << 4;
        QTest::newRow("COM0") << "COM0" << 0;
        QTest::newRow("no number") << "COM" << 0;
        QTest::newRow("leading zero") << "COM03" << 0;
        QTest::newRow("trailing blank") << "COM3 " << 0;
        QTest::newRow("device path") << "/dev/ttyS0" << 0;
        QTest::newRow("huge") << "COM99999999999" << 0;
    }

    void comNumbers()
    {
        QFETCH(QString, name);
        QFETCH(int, n);
        QCOMPARE(comnames::ComNumber(name), n);
    }
};

QTEST_GUILESS_MAIN(tst_ComNames)
#include "tst_ComNames.moc"
