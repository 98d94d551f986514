#include "app/frmMain.h"
#include "port/ModZemoPorts.h"
#include "port/ModemLineHook.h"
#include "port/Rfc2217Protocol.h"
#include "support/Loopback.h"
#include "support/MessageRecorder.h"
#include "support/SimulatedPorts.h"

#include <QComboBox>
#include <QTest>
#include <atomic>
#include <map>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using rfc2217::ClientProtocol;

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (const int v : values)
        out.append(char(v));
    return out;
}

QByteArray EveryByte()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    return all;
}

// Telnet and COM port option codes, as a server sends them.
enum : uint8_t { IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250, SE = 240, NOP = 241 };
enum : uint8_t { BINARY = 0, ECHO = 1, SGA = 3, COM_PORT = 44 };
const QByteArray Agreement = Bytes({IAC, DO, BINARY, IAC, WILL, BINARY, IAC, DO, COM_PORT});
const QByteArray Requests = Bytes({IAC, WILL, BINARY, IAC, DO, BINARY, IAC, WILL, COM_PORT});

QByteArray Sub(QByteArray body)
{
    return Bytes({IAC, SB, COM_PORT}) + body.replace("\xff", "\xff\xff") + Bytes({IAC, SE});
}

// A server of the test's own on 127.0.0.1, on a thread of its own since the
// port layer's calls wait for it: it sends its opening to the client, then
// answers every COM port command with the value asked for, or with the one
// the script puts in its place.
class ScriptedServer {
public:
    ScriptedServer(QByteArray opening, std::map<uint8_t, QByteArray> replacements)
        : opening_(std::move(opening))
        , replacements_(std::move(replacements))
        , listener_(ListenOnLoopback(port_))
    {
        thread_ = std::thread([this] { serve(); });
    }
    ~ScriptedServer()
    {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    quint16 port() const { return port_; }
    int accepted() const { return accepted_; }

private:
    bool wait(int fd) const
    {
        pollfd p{fd, POLLIN, 0};
        while (!stop_) {
            if (::poll(&p, 1, 20) > 0)
                return true;
        }
        return false;
    }

    void serve()
    {
        if (!wait(listener_))
            return;
        const int client = ::accept(listener_, nullptr, nullptr);
        ++accepted_;
        ::send(client, opening_.constData(), size_t(opening_.size()), MSG_NOSIGNAL);
        QByteArray pending;
        char chunk[512];
        while (wait(client)) {
            const ssize_t n = ::recv(client, chunk, sizeof chunk, 0);
            if (n <= 0)
                break;
            pending.append(chunk, n);
            for (qsizetype start; (start = pending.indexOf(Bytes({IAC, SB, COM_PORT}))) >= 0;) {
                const qsizetype end = pending.indexOf(Bytes({IAC, SE}), start);
                if (end < 0)
                    break;
                const QByteArray body = pending.mid(start + 3, end - start - 3).replace("\xff\xff", "\xff");
                const auto code = uint8_t(body[0]);
                const auto replaced = replacements_.find(code);
                const QByteArray reply
                    = Sub(char(code + 100) + (replaced == replacements_.end() ? body.mid(1) : replaced->second));
                ::send(client, reply.constData(), size_t(reply.size()), MSG_NOSIGNAL);
                pending.remove(0, end + 2);
            }
        }
        ::close(client);
    }

    QByteArray opening_;
    std::map<uint8_t, QByteArray> replacements_;
    quint16 port_ = 0;
    int listener_;
    std::atomic<bool> stop_{false};
    std::atomic<int> accepted_{0};
    std::thread thread_;
};

}

class tst_Rfc2217 : public QObject {
    Q_OBJECT

private slots:
    // What the server sends, whole or a byte at a time: the data the program
    // reads, what the client answers, and whether the port can be used.
    void serverBytes_data()
    {
        QTest::addColumn<QByteArray>("server");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("modemState");
        const int ready = int(ClientProtocol::Negotiation::Ready);
        const int pending = int(ClientProtocol::Negotiation::Pending);
        QTest::newRow("agreement") << Agreement << QByteArray() << QByteArray() << ready << 0;
        QTest::newRow("ser2net's opening: SGA taken, echo declined")
            << Bytes({IAC, WILL, SGA, IAC, DO, SGA, IAC, WILL, ECHO, IAC, DONT, ECHO}) + Agreement << QByteArray()
            << Bytes({IAC, DO, SGA, IAC, WILL, SGA, IAC, DONT, ECHO}) << ready << 0;
        QTest::newRow("COM port option refused")
            << Bytes({IAC, DO, BINARY, IAC, WILL, BINARY, IAC, DONT, COM_PORT}) << QByteArray() << QByteArray()
            << int(ClientProtocol::Negotiation::Refused) << 0;
        QTest::newRow("binary refused one way") << Bytes({IAC, WONT, BINARY}) << QByteArray() << QByteArray()
                                                << int(ClientProtocol::Negotiation::Refused) << 0;
        QTest::newRow("every byte value, 0xFF doubled") << EveryByte().insert(255, '\xff') << EveryByte()
                                                        << QByteArray() << pending << 0;
        QTest::newRow("commands amid data") << "a" + Bytes({IAC, NOP}) + "b" + Sub(Bytes({107, 0xB3})) + "c"
                                            << QByteArray("abc") << QByteArray() << pending << 0xB0;
        QTest::newRow("0xFF doubled in a command") << Sub(Bytes({107, 0xFF})) << QByteArray() << QByteArray()
                                                   << pending << 0xF0;
    }

    void serverBytes()
    {
        QFETCH(QByteArray, server);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, answer);
        QFETCH(int, state);
        QFETCH(int, modemState);
        for (const qsizetype piece : {server.size(), qsizetype(1)}) {
            ClientProtocol protocol;
            QCOMPARE(protocol.TakeOutgoing(), Requests);
            QByteArray got;
            for (qsizetype at = 0; at < server.size(); at += piece) {
                protocol.Receive(server.mid(at, piece));
                got += protocol.TakeData();
            }
            QCOMPARE(got, data);
            QCOMPARE(protocol.TakeOutgoing(), answer);
            QCOMPARE(int(protocol.State()), state);
            QCOMPARE(int(protocol.ModemState()), modemState);
        }
    }

    void settingsAndTheirAnswers()
    {
        serialdevice::LineSettings wanted;
        wanted.bitRate = 0xFFFF; // IAC bytes in a value are doubled too
        wanted.dataBits = 5;
        wanted.parity = serialdevice::Parity::Mark;
        wanted.extraStopBit = true;
        wanted.rtsCts = true;
        ClientProtocol protocol;
        protocol.TakeOutgoing();
        protocol.RequestSettings(rfc2217::Encode(wanted));
        const QByteArray sent = Sub(Bytes({1, 0, 0, 0xFF, 0xFF})) + Sub(Bytes({2, 5})) + Sub(Bytes({3, 4}))
            + Sub(Bytes({4, 3})) + Sub(Bytes({5, 3}));
        QCOMPARE(protocol.TakeOutgoing(), sent);
        // Answered in full: DTR's answer is no flow-control answer.
        protocol.Receive(Sub(Bytes({101, 0, 0, 0xFF, 0xFF})) + Sub(Bytes({102, 5})) + Sub(Bytes({103, 4}))
                         + Sub(Bytes({104, 3})) + Sub(Bytes({105, 8})));
        QVERIFY(!protocol.Answer());
        protocol.Receive(Sub(Bytes({105, 3})));
        QVERIFY(protocol.Answer() == rfc2217::Encode(wanted));
        QCOMPARE(rfc2217::Decode(*protocol.Answer())->parity, serialdevice::Parity::Mark);
        QCOMPARE(rfc2217::EscapeData(EveryByte()), EveryByte().insert(255, '\xff'));
        protocol.SetLine(serialdevice::ModemLine::Dtr, true);
        protocol.SetLine(serialdevice::ModemLine::Rts, false);
        QCOMPARE(protocol.TakeOutgoing(), Sub(Bytes({5, 8})) + Sub(Bytes({5, 12})));
    }

    // The window's connect against a server that plays a script: one that
    // does not take a setting, refuses the option or says nothing fails with
    // the usual message, and the reason beside it.
    void connectAgainstAScript_data()
    {
        QTest::addColumn<QByteArray>("opening");
        QTest::addColumn<QByteArray>("bitRateAnswer"); // empty: the one asked for
        QTest::addColumn<QString>("reason");           // empty: the connect works
        QTest::newRow("every setting taken") << Agreement << QByteArray() << QString();
        QTest::newRow("a rate 1% off") << Agreement << Bytes({0, 0, 0x25, 0x1C}) << QString();
        QTest::newRow("another bit rate") << Agreement << Bytes({0, 0, 0x12, 0xC0})
                                          << ": the server refused 9600 8N1 (it answered 4800 8N1)";
        QTest::newRow("option refused") << Bytes({IAC, DO, BINARY, IAC, WILL, BINARY, IAC, DONT, COM_PORT})
                                        << QByteArray()
                                        << ": the server does not offer serial port control (RFC 2217); "
                                           "for a plain byte stream write tcp://";
        QTest::newRow("silence") << QByteArray() << QByteArray() << ": the server did not answer in time";
    }

    void connectAgainstAScript()
    {
        QFETCH(QByteArray, opening);
        QFETCH(QByteArray, bitRateAnswer);
        QFETCH(QString, reason);
        std::map<uint8_t, QByteArray> replacements{{5, "\x01"}}; // no flow control, also when asked
        if (!bitRateAnswer.isEmpty())
            replacements[1] = bitRateAnswer;
        // The lines as the server reports them: CTS and DCD on.
        ScriptedServer server(opening + Sub(Bytes({107, 0x90})), replacements);
        SimulatedPorts ports;
        const QString url = QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.port());
        QVERIFY(ports.link(1, url));
        win32::testhook::StopEmulating();
        MessageRecorder messages;
        frmMain w;
        QCOMPARE(w.ComPortListBox->count(), 1);
        QCOMPARE(server.accepted(), 0); // looking for ports connected to nothing
        w.COMInitButton_Click();
        QCOMPARE(w.PortIsOpen, reason.isEmpty());
        if (reason.isEmpty()) {
            win32::DWORD status = 0;
            QVERIFY(win32::GetCommModemStatus(modZEMO::hCom, &status));
            QCOMPARE(status, win32::MS_CTS_ON | win32::MS_RLSD_ON);
        } else {
            QCOMPARE(messages.texts(), QStringList{"Error initializing COM port."});
            QCOMPARE(messages.messages().first().informative, url + reason);
        }
    }
};

QTEST_MAIN(tst_Rfc2217)
#include "tst_Rfc2217.moc"
