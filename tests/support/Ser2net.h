#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A ser2net of the test's own in front of a device, on 127.0.0.1: one port
// speaking RFC 2217 and one passing raw bytes, both on free port numbers
// chosen once, so that a restart serves the same URLs.
class Ser2net {
public:
    explicit Ser2net(const QString& devicePath);
    ~Ser2net();
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    // Starts it and waits (at most 5 s) until both ports take connections.
    bool Start();
    void Stop();

    QString Rfc2217Url() const;
    QString TcpUrl() const;

private:
    QTemporaryDir dir_;
    QString device_;
    quint16 rfc2217Port_;
    quint16 tcpPort_;
    QProcess process_;
};
