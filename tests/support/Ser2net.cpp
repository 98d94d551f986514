#include "support/Ser2net.h"

#include "support/Loopback.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

namespace {

// Whether something listens on 127.0.0.1:port, read from the kernel's table
// so that the check itself connects to nothing.
bool Listening(quint16 port)
{
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray wanted = QByteArrayLiteral("0100007F:") + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    constexpr char ListenState[] = "0A";
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 3 && fields[1] == wanted && fields[3] == ListenState)
            return true;
    }
    return false;
}

}

Ser2net::Ser2net(const QString& devicePath)
    : device_(devicePath)
    , rfc2217Port_(FreeTcpPort())
    , tcpPort_(FreeTcpPort())
{
    while (tcpPort_ == rfc2217Port_)
        tcpPort_ = FreeTcpPort();
    process_.setStandardOutputFile(QProcess::nullDevice());
}

Ser2net::~Ser2net()
{
    Stop();
}

bool Ser2net::Start()
{
    const QString config = dir_.filePath(QStringLiteral("ser2net.yaml"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QString connector = QStringLiteral("  connector: serialdev,%1,115200n81,local\n").arg(device_);
    file.write(QStringLiteral("connection: &remote\n  accepter: telnet(rfc2217),tcp,127.0.0.1,%1\n%3"
                              "connection: &raw\n  accepter: tcp,127.0.0.1,%2\n%3")
                   .arg(rfc2217Port_)
                   .arg(tcpPort_)
                   .arg(connector)
                   .toUtf8());
    file.close();
    // -u: no UUCP lock files, -P: a pid file of its own, so that tests can run side by side.
    process_.start(QStringLiteral("ser2net"), {QStringLiteral("-n"), QStringLiteral("-d"), QStringLiteral("-u"),
                                               QStringLiteral("-P"), dir_.filePath(QStringLiteral("pid")),
                                               QStringLiteral("-c"), config});
    if (!process_.waitForStarted(5000))
        return false;
    const QDeadlineTimer deadline(5000);
    while (!(Listening(rfc2217Port_) && Listening(tcpPort_))) {
        if (deadline.hasExpired() || process_.state() != QProcess::Running)
            return false;
        QThread::msleep(10);
    }
    return true;
}

void Ser2net::Stop()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

QString Ser2net::Rfc2217Url() const
{
    return QStringLiteral("rfc2217://127.0.0.1:%1").arg(rfc2217Port_);
}

QString Ser2net::TcpUrl() const
{
    return QStringLiteral("tcp://127.0.0.1:%1").arg(tcpPort_);
}
