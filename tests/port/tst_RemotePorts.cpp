#include "app/frmMain.h"
#include "app/monitor/ReceiveView.h"
#include "port/ModZemoPorts.h"
#include "port/ModemLineHook.h"
#include "port/Rfc2217Protocol.h"
#include "support/Loopback.h"
#include "support/window/MessageRecorder.h"
#include "support/Ser2net.h"
#include "support/SimulatedPorts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <asm/termbits.h>
#include <atomic>
#include <numeric>
#include <sys/ioctl.h>
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
    QByteArray all(256, 0);
    std::iota(all.begin(), all.end(), char(0));
    return all;
}

// Telnet and COM port option codes, as a server sends them.
enum : uint8_t { IAC = 255, DONT = 254, DO = 253, WONT = 252, WILL = 251, SB = 250, SE = 240, NOP = 241 };
enum : uint8_t { BINARY = 0, TELNET_ECHO = 1, SGA = 3, COM_PORT = 44 };
const QByteArray Agreement = Bytes({IAC, DO, BINARY, IAC, WILL, BINARY, IAC, DO, COM_PORT});
const QByteArray NoComPort = Bytes({IAC, DO, BINARY, IAC, WILL, BINARY, IAC, DONT, COM_PORT});

QByteArray Sub(QByteArray body)
{
    return Bytes({IAC, SB, COM_PORT}) + body.replace("\xff", "\xff\xff") + Bytes({IAC, SE});
}

// A server of the test's own on 127.0.0.1, on a thread of its own since the
// port layer's calls wait for it: it sends its opening, then answers every
// COM port command with the value asked for (SET-CONTROL with no flow
// control), except the command whose code starts answer: that one gets the
// rest of answer. It serves one connection.
class ScriptedServer {
public:
    ScriptedServer(const QByteArray& opening, const QByteArray& answer)
        : thread_([this, opening, answer] { serve(opening, answer); })
    {
    }
    ~ScriptedServer()
    {
        // Ends the wait for a client that never came, or for the next command.
        ::shutdown(listener_, SHUT_RDWR);
        ::shutdown(client_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
        ::close(client_);
    }
    quint16 port() const { return port_; }
    bool accepted() const { return client_ >= 0; }

private:
    void serve(const QByteArray& opening, const QByteArray& answer)
    {
        const int client = client_ = ::accept(listener_, nullptr, nullptr);
        if (client < 0)
            return;
        QByteArray reply = opening, pending;
        char chunk[512];
        ssize_t n = 0;
        while (::send(client, reply.constData(), size_t(reply.size()), MSG_NOSIGNAL) >= 0
               && (n = ::recv(client, chunk, sizeof chunk, 0)) > 0) {
            pending.append(chunk, n);
            reply.clear();
            for (qsizetype start, end; (start = pending.indexOf(Bytes({IAC, SB, COM_PORT}))) >= 0
                 && (end = pending.indexOf(Bytes({IAC, SE}), start)) >= 0;
                 pending.remove(0, end + 2)) {
                const QByteArray body = pending.mid(start + 3, end - start - 3).replace("\xff\xff", "\xff");
                const QByteArray asked = body[0] == 5 ? QByteArray("\x01") : body.mid(1);
                reply += Sub(char(body[0] + 100) + (answer.startsWith(body[0]) ? answer.mid(1) : asked));
            }
        }
    }

    quint16 port_ = 0;
    const int listener_ = ListenOnLoopback(port_);
    std::atomic<int> client_{-1};
    std::thread thread_;
};
}

class tst_RemotePorts : public QObject {
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
        const QByteArray none;
        const int ready = int(ClientProtocol::Negotiation::Ready);
        const int pending = int(ClientProtocol::Negotiation::Pending);
        const int refused = int(ClientProtocol::Negotiation::Refused);
        QTest::newRow("ser2net's opening: SGA taken, echo declined")
            << Bytes({IAC, WILL, SGA, IAC, DO, SGA, IAC, WILL, TELNET_ECHO, IAC, DONT, TELNET_ECHO}) + Agreement
            << none << Bytes({IAC, DO, SGA, IAC, WILL, SGA, IAC, DONT, TELNET_ECHO}) << ready << 0;
        QTest::newRow("COM port option refused") << NoComPort << none << none << refused << 0;
        QTest::newRow("binary refused one way") << Bytes({IAC, WONT, BINARY}) << none << none << refused << 0;
        QTest::newRow("every byte value, 0xFF doubled") << EveryByte().insert(255, '\xff') << EveryByte() << none
                                                        << pending << 0;
        QTest::newRow("commands amid data") << "a" + Bytes({IAC, NOP}) + "b" + Sub(Bytes({107, 0xB3})) + "c"
                                            << QByteArray("abc") << none << pending << 0xB0;
        QTest::newRow("0xFF doubled in a command") << Sub(Bytes({107, 0xFF})) << none << none << pending << 0xF0;
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
            QCOMPARE(protocol.TakeOutgoing(), Bytes({IAC, WILL, BINARY, IAC, DO, BINARY, IAC, WILL, COM_PORT}));
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
        // IAC bytes in a value are doubled too.
        const serialdevice::LineSettings wanted{.bitRate = 0xFFFF, .dataBits = 5, .parity = serialdevice::Parity::Mark,
                                                .extraStopBit = true, .rtsCts = true};
        ClientProtocol protocol;
        protocol.TakeOutgoing();
        protocol.RequestSettings(rfc2217::Encode(wanted));
        QCOMPARE(protocol.TakeOutgoing(), Sub(Bytes({1, 0, 0, 0xFF, 0xFF})) + Sub(Bytes({2, 5}))
                     + Sub(Bytes({3, 4})) + Sub(Bytes({4, 3})) + Sub(Bytes({5, 3})));
        // Answered in full: DTR's answer is no flow-control answer.
        protocol.Receive(Sub(Bytes({101, 0, 0, 0xFF, 0xFF})) + Sub(Bytes({102, 5})) + Sub(Bytes({103, 4}))
                         + Sub(Bytes({104, 3})) + Sub(Bytes({105, 8})));
        QVERIFY(!protocol.Answer());
        protocol.Receive(Sub(Bytes({105, 3})));
        QVERIFY(protocol.Answer() == rfc2217::Encode(wanted));
        protocol.SetLine(serialdevice::ModemLine::Dtr, true);
        protocol.SetLine(serialdevice::ModemLine::Rts, false);
        QCOMPARE(protocol.TakeOutgoing(), Sub(Bytes({5, 8})) + Sub(Bytes({5, 12})));
    }

    // The window's connect to a server that plays a script, or to an address
    // that serves nothing or is malformed (listed all the same): a failure
    // gives the usual message, and the reason beside it.
    void connect_data()
    {
        QTest::addColumn<QString>("url");       // empty: the scripted server's
        QTest::addColumn<QByteArray>("opening");
        QTest::addColumn<QByteArray>("answer"); // a command's code and the value that answers it
        QTest::addColumn<QString>("reason");    // empty: the connect works
        const QByteArray none;
        const QString form = QStringLiteral(": not a remote port; write rfc2217://HOST:PORT or tcp://HOST:PORT");
        const QString refusal = QStringLiteral(": the server refused 9600 8N1 (it answered %1)");
        QTest::newRow("a rate 1% off") << QString() << Agreement << Bytes({1, 0, 0, 0x25, 0x1C}) << QString();
        QTest::newRow("another bit rate") << QString() << Agreement << Bytes({1, 0, 0, 0x12, 0xC0})
                                          << refusal.arg("4800 8N1");
        QTest::newRow("XON/XOFF") << QString() << Agreement << Bytes({5, 2}) << refusal.arg("9600 8N1 XON/XOFF");
        QTest::newRow("option refused") << QString() << NoComPort << none
                                        << ": the server does not offer serial port control (RFC 2217); "
                                           "for a plain byte stream write tcp://";
        QTest::newRow("silence") << QString() << none << none << ": the server did not answer in time";
        QTest::newRow("nothing listens") << QStringLiteral("rfc2217://127.0.0.1:%1").arg(FreeTcpPort()) << none
                                         << none << ": connection refused";
        QTest::newRow("no port number") << "rfc2217://127.0.0.1" << none << none << form;
        QTest::newRow("port number 0") << "tcp://[::1]:0" << none << none << form;
        QTest::newRow("unknown kind") << "telnet://127.0.0.1:23" << none << none << form;
    }

    void connect()
    {
        QFETCH(QString, url);
        QFETCH(QByteArray, opening);
        QFETCH(QByteArray, answer);
        QFETCH(QString, reason);
        // The lines as the server reports them: CTS and DCD on.
        ScriptedServer server(opening + Sub(Bytes({107, 0x90})), answer);
        if (url.isEmpty())
            url = QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.port());
        SimulatedPorts ports;
        QVERIFY(ports.link(1, url));
        win32::testhook::StopEmulating();
        MessageRecorder messages;
        frmMain w;
        QCOMPARE(w.ComPortListBox->itemData(0, Qt::ToolTipRole).toString(), url);
        QVERIFY(!server.accepted()); // looking for ports connects to nothing
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

    // Every byte value both ways through a real ser2net, and over RFC 2217
    // the settings the window chooses reach the device end. A pseudo-terminal
    // keeps the rate, the stop bits and the flow control but forces 8 data
    // bits without parity: those two count as set because the server
    // confirmed them (the connect fails otherwise). Then ser2net stops: a
    // device that has gone, said once; Disc. works, and Init again once it
    // is back.
    void throughSer2net_data()
    {
        QTest::addColumn<bool>("raw");
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<QList<int>>("entries"); // speed, bits, parity, stop, handshake
        QTest::newRow("rfc2217, Generic, 57600 7E2") << false << false << QList<int>{9, 2, 2, 2, 0};
        QTest::newRow("rfc2217, Transparent, 128000 8O1 RTS/CTS") << false << true << QList<int>{11, 3, 1, 0, 2};
        QTest::newRow("tcp, Transparent") << true << true << QList<int>{9, 2, 2, 2, 0};
    }

    void throughSer2net()
    {
        QFETCH(bool, raw);
        QFETCH(bool, transparent);
        QFETCH(QList<int>, entries);
        // The test plays the device behind ser2net.
        PtyPair device;
        Ser2net server(device.slavePath());
        SimulatedPorts ports;
        MessageRecorder messages;
        QVERIFY(server.start());
        QVERIFY(ports.link(1, raw ? server.tcpUrl() : server.rfc2217Url()));
        PtyPair& local = ports.add(2);
        frmMain w;
        w.show();
        if (transparent) {
            w.ITypeListBox->setCurrentIndex(frmMain::Transparent);
            w.AltComListBox->setCurrentIndex(0);
        }
        const QList<QComboBox*> lists{w.SpeedListBox, w.BitsListBox, w.ParityListBox, w.StopListBox,
                                      w.HandshakeListBox};
        for (int i = 0; i < lists.size(); ++i)
            lists[i]->setCurrentIndex(entries[i]);
        w.COMInitButton_Click();
        QVERIFY(w.PortIsOpen);
        QCOMPARE(modZEMO::OpenPort(QStringLiteral("COM1")), win32::INVALID_HANDLE_VALUE); // held by the window
        if (!raw) {
            termios2 t{};
            QCOMPARE(ioctl(device.masterFd(), TCGETS2, &t), 0);
            QCOMPARE(t.c_ospeed, w.SpeedListBox->currentText().toUInt());
            QCOMPARE(bool(t.c_cflag & CSTOPB), entries[3] != 0);
            QCOMPARE(bool(t.c_cflag & CRTSCTS), entries[4] == 2);
            win32::DCB dcb{};
            QVERIFY(win32::GetCommState(modZEMO::hCom, &dcb));
            QCOMPARE((QList<int>{dcb.ByteSize, dcb.Parity}), (QList<int>{entries[1] + 5, entries[2]}));
        }

        QVERIFY(device.send(EveryByte()));
        QByteArray relayed;
        if (transparent) {
            QTRY_COMPARE(relayed += local.receiveAvailable(), EveryByte());
            QVERIFY(local.send(EveryByte()));
        } else {
            QTRY_COMPARE(w.RXOut->Text(), EveryByte());
            w.TXDataTypeListBox->setCurrentIndex(0); // hex
            w.CRCheckbox->setChecked(false);
            w.LFCheckbox->setChecked(false);
            w.SendData->setText(QString::fromLatin1(EveryByte().toHex()));
            w.SendButton_Click();
        }
        QByteArray sent;
        QTRY_COMPARE(sent += device.receiveAvailable(), EveryByte());
        QVERIFY(messages.messages().isEmpty());
        if (transparent)
            return;

        server.stop();
        QTRY_COMPARE(messages.texts(), QStringList{QStringLiteral("The device on COM1 is not responding.")});
        w.COMInitButton_Click();
        QVERIFY(!w.PortIsOpen);
        QVERIFY(server.start());
        w.COMInitButton_Click();
        QVERIFY(w.PortIsOpen);
        QVERIFY(device.send("after"));
        QTRY_COMPARE(w.RXOut->Text(), QByteArray("after"));
        QCOMPARE(messages.messages().size(), 1);
    }
};

QTEST_MAIN(tst_RemotePorts)
#include "tst_RemotePorts.moc"
