#include "port/ModemLineHook.h"
#include "profiles/SettingLists.h"
#include "support/Loopback.h"
#include "support/Ser2net.h"
#include "support/TelnetBytes.h"
#include "support/window/TestWindow.h"

#include <asm/termbits.h>
#include <atomic>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A server of the test's own on 127.0.0.1, on a thread of its own since the
// port layer's calls wait for it: it sends its opening, then answers every
// COM port command with the value asked for (SET-CONTROL with no flow
// control), except the command whose code starts answer: that one gets the
// rest of answer. It serves one connection.
class ScriptedServer {
public:
    ScriptedServer(const QByteArray& opening, const QByteArray& answer)
        : thread_([this, opening, answer] { Serve(opening, answer); })
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
    quint16 Port() const { return port_; }
    bool Accepted() const { return client_ >= 0; }

private:
    void Serve(const QByteArray& opening, const QByteArray& answer)
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

class tst_RemotePortsWindow : public QObject {
    Q_OBJECT

private slots:
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
        QTest::newRow("another bit rate") << QString() << Agreement << Bytes({1, 0, 0, 0x12, 0xC0}) << refusal.arg("4800 8N1");
        QTest::newRow("XON/XOFF") << QString() << Agreement << Bytes({5, 2}) << refusal.arg("9600 8N1 XON/XOFF");
        QTest::newRow("option refused") << QString() << NoComPort << none
                                        << ": the server does not offer serial port control (RFC 2217); "
                                           "for a plain byte stream write tcp://";
        QTest::newRow("silence") << QString() << none << none << ": the server did not answer in time";
        QTest::newRow("nothing listens") << QStringLiteral("rfc2217://127.0.0.1:%1").arg(FreeTcpPort()) << none << none
                                         << ": connection refused";
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
            url = QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.Port());
        TestWindow w;
        QVERIFY(w.ports.Link(1, url));
        win32::testhook::StopEmulating();
        QTRY_COMPARE(w.List("ComPortListBox")->itemData(0, Qt::ToolTipRole).toString(), url);
        QVERIFY(!server.Accepted()); // looking for ports connects to nothing
        QCOMPARE(Connect(w, "Generic"), reason.isEmpty());
        if (reason.isEmpty()) {
            QTRY_COMPARE(w.Label("Label8")->text(), QStringLiteral(" %1").arg(win32::MS_CTS_ON | win32::MS_RLSD_ON));
        } else {
            QCOMPARE(w.messages.Texts(), QStringList{"Error initializing COM port."});
            QCOMPARE(w.messages.Messages().first().informative, url + reason);
        }
    }

    // Every byte both ways through a real ser2net; over RFC 2217 the settings
    // reach the device end (a pseudo-terminal forces 8 bits without parity:
    // those count as set because the server confirmed them). Then ser2net
    // stops: said once; Disc. works, and Init again once it is back. With
    // Reconnect on, the window waits instead and takes the port up again.
    void throughSer2net_data()
    {
        QTest::addColumn<bool>("reconnect");
        QTest::addColumn<bool>("raw");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("settings"); // speed, bits, parity, stop, handshake
        QTest::newRow("rfc2217, Generic, 74880 7E2") << false << false << "Generic" << QStringList{"74880", "7", "Even", "2", "None"};
        QTest::newRow("rfc2217, Transparent, 3000000 8O1 RTS/CTS")
            << false << false << "Transparent" << QStringList{"3000000", "8", "Odd", "1", "Hardware"};
        QTest::newRow("tcp, Transparent") << false << true << "Transparent" << QStringList{"57600", "7", "Even", "2", "None"};
        QTest::newRow("rfc2217, Generic, reconnecting") << true << false << "Generic" << QStringList{"1500000", "8", "None", "1", "None"};
    }

    void throughSer2net()
    {
        QFETCH(bool, reconnect);
        QFETCH(bool, raw);
        QFETCH(QString, type);
        QFETCH(QStringList, settings);
        PtyPair device;
        Ser2net server(device.SlavePath());
        QVERIFY(server.Start());
        TestWindow w;
        if (reconnect)
            w.Action("PortReconnectMenu")->trigger();
        QVERIFY(w.ports.Link(1, raw ? server.TcpUrl() : server.Rfc2217Url()));
        PtyPair& local = w.ports.Add(2);
        QTRY_COMPARE(Items(w.List("ComPortListBox")), (QStringList{"COM1", "COM2"}));
        w.window.show();
        ChooseInterface(w, type);
        w.List("SpeedListBox")->setEditText(settings[0]); // typed: 74880 is not listed
        const char* const settingLists[] = {"BitsListBox", "ParityListBox", "StopListBox", "HandshakeListBox"};
        for (int i = 1; i < settings.size(); ++i)
            QVERIFY(Choose(w.List(settingLists[i - 1]), settings[i]));
        QPushButton* init = w.Button("COMInitButton");
        QTest::mouseClick(init, Qt::LeftButton);
        QVERIFY(Connected(w));
        QCOMPARE(modZEMO::OpenPort(QStringLiteral("COM1")), win32::INVALID_HANDLE_VALUE); // held by the window
        if (!raw) {
            termios2 t{};
            QCOMPARE(ioctl(device.MasterFd(), TCGETS2, &t), 0);
            QCOMPARE((QList<uint>{t.c_ospeed, bool(t.c_cflag & CSTOPB), bool(t.c_cflag & CRTSCTS)}),
                     (QList<uint>{w.List("SpeedListBox")->currentText().toUInt(), settings[3] != "1", settings[4] == "Hardware"}));
            win32::DCB dcb{};
            QVERIFY(win32::GetCommState(modZEMO::hCom, &dcb));
            QCOMPARE((QList<int>{dcb.ByteSize, dcb.Parity}),
                     (QList<int>{settings[1].toInt(), int(lists::ParityEntries().indexOf(settings[2]))}));
        }

        QVERIFY(device.Send(EveryByte()));
        QByteArray relayed;
        if (type == u"Transparent") {
            QTRY_COMPARE(relayed += local.ReceiveAvailable(), EveryByte());
            QVERIFY(local.Send(EveryByte()));
        } else {
            QTRY_COMPARE(w.Box("RXOut")->Text(), EveryByte());
            QVERIFY(Choose(w.List("TXDataTypeListBox"), "HEX")); // which also unticks CR and LF
            Send(w, QString::fromLatin1(EveryByte().toHex()));
        }
        QByteArray sent;
        QTRY_COMPARE(sent += device.ReceiveAvailable(), EveryByte());
        QVERIFY(w.messages.Messages().isEmpty());
        if (type == u"Transparent")
            return;

        server.Stop();
        if (reconnect) {
            QTRY_VERIFY(w.Box("RXOut")->Text().contains("--- COM1 gone, waiting for it ---"));
            QVERIFY(server.Start());
            QTRY_VERIFY_WITH_TIMEOUT(w.Box("RXOut")->Text().contains("--- COM1 is back ---"), 10000);
            QCOMPARE(device.SlaveBitRate(), 1500000u);
            QVERIFY(device.Send("after"));
            QTRY_VERIFY(w.Box("RXOut")->Text().endsWith("after"));
            QVERIFY(w.messages.Messages().isEmpty());
            return;
        }
        QTRY_COMPARE(w.messages.Texts(), QStringList{QStringLiteral("The device on COM1 is not responding.")});
        QTest::mouseClick(init, Qt::LeftButton);
        QVERIFY(!Connected(w) && server.Start());
        QTest::mouseClick(init, Qt::LeftButton);
        QVERIFY(Connected(w));
        QVERIFY(device.Send("after"));
        QTRY_COMPARE(w.Box("RXOut")->Text(), QByteArray("after"));
        QCOMPARE(w.messages.Messages().size(), 1);
    }
};

QTEST_MAIN(tst_RemotePortsWindow)
#include "tst_RemotePortsWindow.moc"
