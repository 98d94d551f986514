#include "port/RemoteAddress.h"
#include "port/RemoteDevice.h"
#include "port/Rfc2217Protocol.h"
#include "support/Loopback.h"
#include "support/TelnetBytes.h"

#include <QFile>
#include <QTest>
#include <atomic>
#include <chrono>
#include <functional>
#include <sys/socket.h>
#include <sys/time.h>
#include <thread>
#include <unistd.h>

using remoteport::RemoteDevice;
using rfc2217::ClientProtocol;

namespace {

constexpr int NotifyModemState = 107;

bool SendWhole(int socket, const QByteArray& bytes)
{
    for (qsizetype at = 0; at < bytes.size();) {
        const ssize_t n = ::send(socket, bytes.constData() + at, size_t(bytes.size() - at), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        at += n;
    }
    return true;
}

// The options agreed, then the five settings once the client has asked (six subnegotiations).
bool AnswerOpening(int client)
{
    QByteArray asked;
    char chunk[512];
    if (!SendWhole(client, Agreement))
        return false;
    while (asked.count(Bytes({IAC, SB, COM_PORT})) < 6) {
        const ssize_t n = ::recv(client, chunk, sizeof chunk, 0);
        if (n <= 0)
            return false;
        asked.append(chunk, n);
    }
    return SendWhole(client, Sub(Bytes({101, 0, 0, 0x25, 0x80})) + Sub(Bytes({102, 8})) + Sub(Bytes({103, 1}))
                                 + Sub(Bytes({104, 1})) + Sub(Bytes({105, 1})));
}

// Serves one connection on 127.0.0.1 with script, on its own thread as the port layer's calls wait.
class HostileServer {
public:
    explicit HostileServer(std::function<void(int client)> script)
        : thread_([this, script] {
            if (const int client = client_ = ::accept(listener_, nullptr, nullptr); client >= 0)
                script(client);
        })
    {
    }
    ~HostileServer()
    {
        ::shutdown(listener_, SHUT_RDWR);
        ::shutdown(client_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
        ::close(client_);
    }
    QByteArray Url() const { return "rfc2217://127.0.0.1:" + QByteArray::number(port_); }

private:
    quint16 port_ = 0;
    const int listener_ = ListenOnLoopback(port_);
    std::atomic<int> client_{-1};
    std::thread thread_;
};

// Sends piece again and again, never reading, until the client closes or far past its wait limit.
void Flood(int client, const QByteArray& piece)
{
    const timeval second{1, 0}; // a blocked send looks at the time again
    ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &second, sizeof second);
    const QByteArray block = piece.repeated(64 * 1024 / piece.size() + 1);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (qsizetype at = 0; std::chrono::steady_clock::now() < end;) {
        const ssize_t n = ::send(client, block.constData() + at, size_t(block.size() - at), MSG_NOSIGNAL);
        if (n < 0 && errno == EAGAIN)
            continue;
        if (n <= 0)
            break;
        at = (at + n) % block.size(); // the pieces stay whole however the sends cut them
    }
    ::shutdown(client, SHUT_RDWR);
}

std::unique_ptr<RemoteDevice> Open(const QByteArray& url, QString& failure)
{
    const auto address = remoteport::ParseAddress(url, failure);
    return address ? RemoteDevice::Open(*address, failure) : nullptr;
}

}

class tst_HostileServers : public QObject {
    Q_OBJECT

private slots:
    // A server that floods before answering: Init fails with the reason within the wait limit.
    void floodBeforeAnswering_data()
    {
        QTest::addColumn<QByteArray>("opening");
        QTest::addColumn<QByteArray>("piece");
        QTest::addColumn<QString>("reason");
        const QString late = QStringLiteral("the server did not answer in time");
        const QString much = QStringLiteral("the server sent too much before answering");
        QTest::newRow("telnet NOP") << QByteArray() << Bytes({IAC, NOP}) << late;
        QTest::newRow("plain data") << QByteArray() << QByteArray("data") << much;
        QTest::newRow("option offers, never reading the refusals") << QByteArray() << Bytes({IAC, WILL, 99}) << late;
        QTest::newRow("a subnegotiation without end") << Bytes({IAC, SB, COM_PORT, NotifyModemState}) << QByteArray("x") << much;
    }

    void floodBeforeAnswering()
    {
        QFETCH(QByteArray, opening);
        QFETCH(QByteArray, piece);
        QFETCH(QString, reason);
        HostileServer server([&](int client) {
            if (SendWhole(client, opening))
                Flood(client, piece);
        });
        QString failure;
        QVERIFY(!Open(server.Url(), failure));
        QCOMPARE(failure, QFile::decodeName(server.Url()) + QStringLiteral(": ") + reason);
    }

    // After the opening, a modem state of 32 MB that never ends: what passes the limit is data, and
    // the data after it arrives (the other kinds: subnegotiationsAreBounded).
    void endlessSubnegotiationAfterConnecting()
    {
        const QByteArray start = Bytes({IAC, SB, COM_PORT, NotifyModemState});
        const int swallowed = int(ClientProtocol::MaxSubnegotiation) - 2;
        constexpr qsizetype Filler = qsizetype(32) << 20;
        HostileServer server([&](int client) {
            if (!AnswerOpening(client) || !SendWhole(client, start))
                return;
            const QByteArray block(1 << 20, '\x10');
            for (qsizetype sent = 0; sent < Filler && SendWhole(client, block); sent += block.size()) {
            }
            SendWhole(client, "after");
        });
        QString failure;
        const auto device = Open(server.Url(), failure);
        QVERIFY2(device, qPrintable(failure));
        QByteArray data;
        char buffer[4096];
        while (!data.endsWith("after") && device->WaitReadable(RemoteDevice::WaitLimitMs)) {
            const auto n = device->ReadAvailable(buffer, sizeof buffer);
            if (!n)
                break;
            data.append(buffer, qsizetype(*n));
        }
        QVERIFY(data == QByteArray(Filler - swallowed, '\x10') + "after");
    }
};

QTEST_GUILESS_MAIN(tst_HostileServers)
#include "tst_HostileServers.moc"
